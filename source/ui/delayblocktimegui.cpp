#include "ui/delayblocktimegui.h"

CDelayBlockTimeGui::CDelayBlockTimeGui(QLineEdit* currentControl, QLineEdit* newControl)
    : CControlledSettingGui(ESettingKind::delayBlockTime, currentControl, newControl) {}
