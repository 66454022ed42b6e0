#pragma once

#include <QStringList>
#include <string>

#include "ui/settingcontrols.h"

class QComboBox;
class QLineEdit;

// Whether the inputs' times delay or block an alarm (0 or 1); anything out of range is
// taken as delay.
// The value is the index of the item selected in the drop-down list.
class CInputBehaviourGui : public CControlledSettingGui {
public:
    // The controls are only borrowed; the window owns them.
    CInputBehaviourGui(QLineEdit* currentControl, QComboBox* newControl);

    // The list's English items that the window shows before a language is loaded.
    static QStringList FormItems();
};
