#include "ui/accesscontrolgui.h"

CAccessControlGui::CAccessControlGui(QLineEdit* currentControl, QComboBox* newControl)
    : controls(ESettingKind::accessControl, currentControl, newControl) {}

void CAccessControlGui::Update(IObsEvent* event) {
    controls.Update(event);
}

void CAccessControlGui::ShowUnitValue(std::string& text) {
    controls.ShowUnitValue(*this, text);
}

void CAccessControlGui::SetNewValue(std::string& text) {
    controls.SetNewValue(*this, text);
}

QStringList CAccessControlGui::FormItems() {
    return {"OFF", "ON"};
}
