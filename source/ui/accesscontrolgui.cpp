#include "ui/accesscontrolgui.h"

CAccessControlGui::CAccessControlGui(QLineEdit* currentControl, QComboBox* newControl)
    : CControlledSettingGui(ESettingKind::accessControl, currentControl, newControl) {}

QStringList CAccessControlGui::FormItems() {
    return {"OFF", "ON"};
}
