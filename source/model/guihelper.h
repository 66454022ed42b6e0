#pragma once

#include <cstdint>
#include <string>

#include "core/observer.h"

// Which of a setting's two value texts an operation means. One byte, so a stored or passed
// kind may hold other numbers too; those are no kind (GetValue treats them as New, SetValue
// and StoreValue ignore them).
enum class ValueKind : std::uint8_t { New = 0, Current = 1 };

// A setting presenter: one of the unit's settings shown as a pair of controls, a read-only
// "current" control with what the unit holds and a "new" control with what will be written.
// It keeps the two value texts behind them (decimal integers as text, empty while not known),
// maps unit values and typed or loaded values onto its controls, replaces invalid ones by
// fixed fallbacks and refills its texts when a language has been loaded (Update).
//
// The controls are the window's; a presenter only borrows them. No operation fails or throws.
// GUI thread only.
class IGuiHelper : public IObserver {
public:
    // The current value for kind Current, the new value for any other kind.
    virtual std::string GetValue(ValueKind kind) const;
    // The two value texts differ (exact, case-sensitive).
    virtual bool IsChanged() const;
    // StoreValue for kind New or Current; other kinds change nothing.
    virtual void SetValue(ValueKind kind, const std::string& text);
    // A value read from the unit: both controls show it and both values become it. An
    // invalid value is replaced in `text` by what the presenter kept instead.
    virtual void ShowUnitValue(std::string& text) = 0;
    // A value chosen by the user or loaded from a profile: the new control shows it and the
    // new value becomes it; the current side is untouched. `text` is replaced by the value
    // kept when the presenter normalises or replaces it.
    virtual void SetNewValue(std::string& text) = 0;
    // Sets one value text without touching the controls; other kinds change nothing.
    virtual void StoreValue(ValueKind kind, const std::string& text);

    // For callers with a text of their own that need not see the value kept (start values,
    // profile values): the same as the operations above on a copy.
    void ShowUnitValue(const std::string& text);
    void SetNewValue(const std::string& text);

    // The new value is the user's own (typed, picked or loaded from a profile). A value read
    // from the unit afterwards only shows as the current one, so that one choice can be
    // written to unit after unit; the implementations of ShowUnitValue honour this.
    void ChooseNewValue(const std::string& text);
    bool IsNewValueChosen() const { return chosen; }
    // Back to following the unit: the choice is forgotten, and a known current value becomes
    // the new value again.
    void FollowUnit();

    // What an implementation of ShowUnitValue stores: both values while the new value follows
    // the unit, the current value alone while the user's choice stands. True when the new
    // value (and so the new control) was taken.
    bool StoreUnitValue(const std::string& kept);

private:
    std::string currentValue;
    std::string newValue;
    bool chosen = false;
};

// The shared parse of every setting text: anything that is not a number counts as -1.
int32_t ParseSettingValue(const std::string& text);
