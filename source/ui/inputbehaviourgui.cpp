#include "ui/inputbehaviourgui.h"

CInputBehaviourGui::CInputBehaviourGui(QLineEdit* currentControl, QComboBox* newControl)
    : controls(ESettingKind::inputBehaviour, currentControl, newControl) {}

void CInputBehaviourGui::Update(IObsEvent* event) {
    controls.Update(event);
}

void CInputBehaviourGui::ShowUnitValue(std::string& text) {
    controls.ShowUnitValue(*this, text);
}

void CInputBehaviourGui::SetNewValue(std::string& text) {
    controls.SetNewValue(*this, text);
}

QStringList CInputBehaviourGui::FormItems() {
    return {"Delay", "Block"};
}
