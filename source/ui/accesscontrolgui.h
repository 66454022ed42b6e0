#pragma once

#include <QStringList>
#include <string>

#include "ui/settingcontrols.h"

class QComboBox;
class QLineEdit;

// Access control off or on (0 or 1); anything out of range is taken as off.
// The value is the index of the item selected in the drop-down list.
class CAccessControlGui : public CControlledSettingGui {
public:
    // The controls are only borrowed; the window owns them.
    CAccessControlGui(QLineEdit* currentControl, QComboBox* newControl);

    // The list's English items that the window shows before a language is loaded.
    static QStringList FormItems();
};
