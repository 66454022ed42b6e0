#pragma once

#include <QStringList>
#include <string>

#include "ui/settingcontrols.h"

class QComboBox;
class QLineEdit;

// How long a call keeps the relays active: 1 to 254, or 0 for "toggle". The new control is an
// editable combo box whose first item is the toggle text and whose other items are common
// times; any number typed into it is taken as it is when it lies in range.
class CActiveTimeGui : public CControlledSettingGui {
public:
    // The controls are only borrowed; the window owns them.
    CActiveTimeGui(QLineEdit* currentControl, QComboBox* newControl);

    // The list's English items that the window shows before a language is loaded.
    static QStringList FormItems();
};
