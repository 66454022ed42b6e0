#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/refobject.h"
#include "model/configurationmodel.h"
#include "model/guihelper.h"
#include "model/settingrules.h"
#include "model/settingtable.h"

// A setting presenter without controls, for a front end that has no window: it keeps the two
// value texts exactly as the window's presenter of the same kind would, and remembers the one
// thing about its controls that a rule looks at, the item the new list would select.
// There are no texts to translate, so language updates are ignored.
class CPlainSettingGui : public IGuiHelper {
public:
    explicit CPlainSettingGui(ESettingKind kind) : kind(kind) {}

    using IGuiHelper::SetNewValue;
    using IGuiHelper::ShowUnitValue;
    void Update(IObsEvent* /*event*/) override {}
    void ShowUnitValue(std::string& text) override;
    void SetNewValue(std::string& text) override;

    ESettingKind Kind() const { return kind; }
    // The index a drop-down setting's list would select, -1 before any value selected one.
    int32_t SelectedItem() const { return selectedItem; }

private:
    void Show(const CControlView& newControl);

    ESettingKind kind;
    int32_t selectedItem = -1;
};

// The eleven presenters of a front end without a window, in the order and with the start
// values of the setting table. Holds a reference to each; a caller that
// attaches them to a language object shares one more.
class CPlainSettingGuis {
public:
    static constexpr std::size_t kCount = kSettingCount;

    CPlainSettingGuis();

    // For the configuration model; valid while this object lives.
    CSettingPresenters Lend() const;
    CPlainSettingGui& operator[](std::size_t index) const { return *presenters.at(index); }

private:
    std::array<CRefPtr<CPlainSettingGui>, kCount> presenters;
};
