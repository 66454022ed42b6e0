#include "ui/smsackgui.h"

CSmsAckGui::CSmsAckGui(QLineEdit* currentControl, QComboBox* newControl)
    : list(currentControl, newControl, {"WHEN_ALARM_ACTIVATED", "ALWAYS"}, 1, 0) {}

void CSmsAckGui::Update(IObsEvent* event) {
    list.Update(event);
}

void CSmsAckGui::ShowUnitValue(std::string& text) {
    text = list.ShowUnitValue(text);
    StoreValue(ValueKind::Current, text);
    StoreValue(ValueKind::New, text);
}

void CSmsAckGui::SetNewValue(std::string& text) {
    text = list.SetNewValue(text);
    StoreValue(ValueKind::New, text);
}

QStringList CSmsAckGui::FormItems() {
    return {"OFF", "Always"};
}
