#include "ui/smsackgui.h"

CSmsAckGui::CSmsAckGui(QLineEdit* currentControl, QComboBox* newControl)
    : CControlledSettingGui(ESettingKind::smsAck, currentControl, newControl) {}

QStringList CSmsAckGui::FormItems() {
    return {"OFF", "Always"};
}
