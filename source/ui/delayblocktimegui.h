#pragma once

#include <string>

#include "ui/settingcontrols.h"

class QLineEdit;

// The delay or block time of one input, 0 to 254, in two edits.
class CDelayBlockTimeGui : public CControlledSettingGui {
public:
    // The controls are only borrowed; the window owns them.
    CDelayBlockTimeGui(QLineEdit* currentControl, QLineEdit* newControl);
};
