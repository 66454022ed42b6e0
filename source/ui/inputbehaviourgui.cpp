#include "ui/inputbehaviourgui.h"

CInputBehaviourGui::CInputBehaviourGui(QLineEdit* currentControl, QComboBox* newControl)
    : CControlledSettingGui(ESettingKind::inputBehaviour, currentControl, newControl) {}

QStringList CInputBehaviourGui::FormItems() {
    return {"Delay", "Block"};
}
