#include "ui/activetimegui.h"

CActiveTimeGui::CActiveTimeGui(QLineEdit* currentControl, QComboBox* newControl)
    : CControlledSettingGui(ESettingKind::activeTime, currentControl, newControl) {}

QStringList CActiveTimeGui::FormItems() {
    return {"Toggle", "1", "2", "5", "10", "30", "60", "120", "240"};
}
