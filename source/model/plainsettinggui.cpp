#include "model/plainsettinggui.h"

void CPlainSettingGui::Show(const CControlView& newControl) {
    // A typed text in the editable active-time list may or may not match an item; no rule
    // looks at that list's selection, so only an item shown by index moves it.
    if (newControl.show == CControlView::EShow::item) {
        selectedItem = newControl.item;
    }
}

void CPlainSettingGui::ShowUnitValue(std::string& text) {
    const CUnitValueTaken taken = TakeUnitValue(kind, text);
    text = taken.kept;
    if (StoreUnitValue(text)) {
        Show(taken.newControl);
    }
}

void CPlainSettingGui::SetNewValue(std::string& text) {
    const CNewValueTaken taken =
        TakeNewValue(kind, text, GetValue(ValueKind::Current), selectedItem);
    Show(taken.newControl);
    text = taken.kept;
    StoreValue(ValueKind::New, text);
}

CPlainSettingGuis::CPlainSettingGuis() {
    for (std::size_t i = 0; i < kCount; ++i) {
        presenters[i] = MakeRef<CPlainSettingGui>(kSettingTable[i].kind);
        presenters[i]->SetNewValue(std::string(kSettingTable[i].startValue));
    }
}

CSettingPresenters CPlainSettingGuis::Lend() const {
    std::array<IGuiHelper*, kCount> each{};
    for (std::size_t i = 0; i < kCount; ++i) {
        each[i] = presenters[i].get();
    }
    return CSettingPresenters::InTableOrder(each);
}
