#include "ui/inputbehaviourgui.h"

CInputBehaviourGui::CInputBehaviourGui(QLineEdit* currentControl, QComboBox* newControl)
    : list(currentControl, newControl, {"DELAY", "BLOCK"}, 0, 0) {}

void CInputBehaviourGui::Update(IObsEvent* event) {
    list.Update(event);
}

void CInputBehaviourGui::ShowUnitValue(std::string& text) {
    text = list.ShowUnitValue(text);
    StoreValue(ValueKind::Current, text);
    StoreValue(ValueKind::New, text);
}

void CInputBehaviourGui::SetNewValue(std::string& text) {
    text = list.SetNewValue(text);
    StoreValue(ValueKind::New, text);
}

QStringList CInputBehaviourGui::FormItems() {
    return {"Delay", "Block"};
}
