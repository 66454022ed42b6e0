#include "ui/activerelaygui.h"

CActiveRelayGui::CActiveRelayGui(QLineEdit* currentControl, QComboBox* newControl)
    : controls(ESettingKind::activeRelay, currentControl, newControl) {}

void CActiveRelayGui::Update(IObsEvent* event) {
    controls.Update(event);
}

void CActiveRelayGui::ShowUnitValue(std::string& text) {
    controls.ShowUnitValue(*this, text);
}

void CActiveRelayGui::SetNewValue(std::string& text) {
    controls.SetNewValue(*this, text);
}

QStringList CActiveRelayGui::FormItems() {
    return {"Not In Use", "Relay 1", "Relay 2", "Both Relays"};
}
