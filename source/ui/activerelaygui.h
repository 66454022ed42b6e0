#pragma once

#include <QStringList>
#include <string>

#include "ui/settingcontrols.h"

class QComboBox;
class QLineEdit;

// Which relay a call activates: not in use, relay 1, relay 2 or both (0 to 3). A unit value
// out of range and a typed or loaded one both fall back to relay 1.
// The value is the index of the item selected in the drop-down list.
class CActiveRelayGui : public CControlledSettingGui {
public:
    // The controls are only borrowed; the window owns them.
    CActiveRelayGui(QLineEdit* currentControl, QComboBox* newControl);

    // The list's English items that the window shows before a language is loaded.
    static QStringList FormItems();
};
