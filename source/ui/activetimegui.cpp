#include "ui/activetimegui.h"

CActiveTimeGui::CActiveTimeGui(QLineEdit* currentControl, QComboBox* newControl)
    : controls(ESettingKind::activeTime, currentControl, newControl) {}

void CActiveTimeGui::Update(IObsEvent* event) {
    controls.Update(event);
}

void CActiveTimeGui::ShowUnitValue(std::string& text) {
    controls.ShowUnitValue(*this, text);
}

void CActiveTimeGui::SetNewValue(std::string& text) {
    controls.SetNewValue(*this, text);
}

QStringList CActiveTimeGui::FormItems() {
    return {"Toggle", "1", "2", "5", "10", "30", "60", "120", "240"};
}
