#include "ui/activerelaygui.h"

CActiveRelayGui::CActiveRelayGui(QLineEdit* currentControl, QComboBox* newControl)
    : list(currentControl, newControl, {"NOT_IN_USE", "RELAY1", "RELAY2", "BOTH_RELAYS"}, 1, 1) {}

void CActiveRelayGui::Update(IObsEvent* event) {
    list.Update(event);
}

void CActiveRelayGui::ShowUnitValue(std::string& text) {
    text = list.ShowUnitValue(text);
    StoreValue(ValueKind::Current, text);
    StoreValue(ValueKind::New, text);
}

void CActiveRelayGui::SetNewValue(std::string& text) {
    text = list.SetNewValue(text);
    StoreValue(ValueKind::New, text);
}

QStringList CActiveRelayGui::FormItems() {
    return {"Not In Use", "Relay 1", "Relay 2", "Both Relays"};
}
