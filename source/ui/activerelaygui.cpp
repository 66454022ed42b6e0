#include "ui/activerelaygui.h"

CActiveRelayGui::CActiveRelayGui(QLineEdit* currentControl, QComboBox* newControl)
    : CControlledSettingGui(ESettingKind::activeRelay, currentControl, newControl) {}

QStringList CActiveRelayGui::FormItems() {
    return {"Not In Use", "Relay 1", "Relay 2", "Both Relays"};
}
