#pragma once

#include <QStringList>
#include <string>

#include "ui/settingcontrols.h"

class QComboBox;
class QLineEdit;

// When the unit acknowledges by SMS: when an alarm is activated, or always (0 or 1). A unit
// value out of range shows as "always", a typed or loaded one falls back to 0.
// The value is the index of the item selected in the drop-down list.
class CSmsAckGui : public CControlledSettingGui {
public:
    // The controls are only borrowed; the window owns them.
    CSmsAckGui(QLineEdit* currentControl, QComboBox* newControl);

    // The list's English items that the window shows before a language is loaded.
    static QStringList FormItems();
};
