#include "ui/delayblocktimegui.h"

CDelayBlockTimeGui::CDelayBlockTimeGui(QLineEdit* currentControl, QLineEdit* newControl)
    : controls(ESettingKind::delayBlockTime, currentControl, newControl) {}

void CDelayBlockTimeGui::Update(IObsEvent* /*event*/) {}

void CDelayBlockTimeGui::ShowUnitValue(std::string& text) {
    controls.ShowUnitValue(*this, text);
}

void CDelayBlockTimeGui::SetNewValue(std::string& text) {
    controls.SetNewValue(*this, text);
}
