#include "ui/smsackgui.h"

CSmsAckGui::CSmsAckGui(QLineEdit* currentControl, QComboBox* newControl)
    : controls(ESettingKind::smsAck, currentControl, newControl) {}

void CSmsAckGui::Update(IObsEvent* event) {
    controls.Update(event);
}

void CSmsAckGui::ShowUnitValue(std::string& text) {
    controls.ShowUnitValue(*this, text);
}

void CSmsAckGui::SetNewValue(std::string& text) {
    controls.SetNewValue(*this, text);
}

QStringList CSmsAckGui::FormItems() {
    return {"OFF", "Always"};
}
