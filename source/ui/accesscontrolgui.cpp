#include "ui/accesscontrolgui.h"

CAccessControlGui::CAccessControlGui(QLineEdit* currentControl, QComboBox* newControl)
    : list(currentControl, newControl, {"OFF", "ON"}, 0, 0) {}

void CAccessControlGui::Update(IObsEvent* event) {
    list.Update(event);
}

void CAccessControlGui::ShowUnitValue(std::string& text) {
    text = list.ShowUnitValue(text);
    StoreValue(ValueKind::Current, text);
    StoreValue(ValueKind::New, text);
}

void CAccessControlGui::SetNewValue(std::string& text) {
    text = list.SetNewValue(text);
    StoreValue(ValueKind::New, text);
}

QStringList CAccessControlGui::FormItems() {
    return {"OFF", "ON"};
}
