#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// The value rules of the unit's eleven settings, apart from any controls: which text a value
// read from the unit or typed/loaded by the user becomes, which fallback replaces an invalid
// one, and what the setting's two controls are to show afterwards. Every presenter, with
// controls or without, takes its values through these functions, so a front end without a
// window keeps exactly what the window keeps.

// The six kinds of setting; the eleven settings are one each, the six input delays excepted.
enum class ESettingKind : uint8_t {
    // 0 (toggle) to 254, in an editable drop-down list of common times.
    activeTime,
    // Drop-down lists whose selected index is the value.
    activeRelay,
    smsAck,
    accessControl,
    inputBehaviour,
    // 0 to 254, in an edit.
    delayBlockTime,
};

// What one control of a setting is to show once a rule has been applied: left as it is, an
// item of the new control's list (for the current control: that item's caption), or a text.
struct CControlView {
    enum class EShow : uint8_t { unchanged, item, text };

    EShow show = EShow::unchanged;
    int32_t item = -1;
    std::string text;

    static CControlView Unchanged() { return {}; }
    static CControlView Item(int32_t index) { return {EShow::item, index, {}}; }
    static CControlView Text(std::string text) { return {EShow::text, -1, std::move(text)}; }
    bool operator==(const CControlView&) const = default;
};

// A value read from the unit, taken: the text both values become, and what the current and
// the new control show.
struct CUnitValueTaken {
    std::string kept;
    CControlView currentControl;
    CControlView newControl;
};

// A value typed by the user or loaded from a profile, taken: the text the new value becomes,
// and what the new control shows. The current side is never touched.
struct CNewValueTaken {
    std::string kept;
    CControlView newControl;
};

// One item of a setting's drop-down list: a language key, or a fixed text shown as it is in
// every language.
struct CSettingItem {
    std::string text;
    bool isLanguageKey = true;
};

// The items of the kind's drop-down list in order; none for the delay edits.
const std::vector<CSettingItem>& SettingItems(ESettingKind kind);

// An empty text clears the current control and keeps the new one. A drop-down value that is a
// valid index is kept as read; an active time in range is kept in plain decimal; a delay is
// kept as read, out of range too (the new edit then stays as it is). An invalid drop-down value
// or active time is replaced by the kind's unit fallback.
CUnitValueTaken TakeUnitValue(ESettingKind kind, const std::string& text);

// A valid value is kept in plain decimal. For an invalid one: an active time becomes 0 (a
// drop-down caption such as the toggle text among them); a drop-down text that is no number
// keeps `selectedItem` (the index the new control selects, -1 for none) and anything else
// invalid gives the kind's new-value fallback; a delay takes `currentValue` when that is in
// range, else 2.
CNewValueTaken TakeNewValue(ESettingKind kind, const std::string& text,
                            const std::string& currentValue, int32_t selectedItem);
