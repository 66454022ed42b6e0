#pragma once

#include <QStringList>
#include <string>

#include "model/guihelper.h"
#include "ui/settingcontrols.h"

class QComboBox;
class QLineEdit;

// How long a call keeps the relays active: 1 to 254, or 0 for "toggle". The new control is an
// editable combo box whose first item is the toggle text and whose other items are common
// times; any number typed into it is taken as it is when it lies in range.
class CActiveTimeGui : public IGuiHelper {
public:
    // The controls are only borrowed; the window owns them.
    CActiveTimeGui(QLineEdit* currentControl, QComboBox* newControl);

    using IGuiHelper::SetNewValue;
    using IGuiHelper::ShowUnitValue;
    void Update(IObsEvent* event) override;
    // An out-of-range unit value shows an empty current control and the item "2", and is kept
    // as 2; a valid one is kept in plain decimal ("007" becomes "7").
    void ShowUnitValue(std::string& text) override;
    // A text that is no number or out of range (the toggle item's caption among them) is kept
    // as 0 and shown as "0".
    void SetNewValue(std::string& text) override;

    // The list's English items that the window shows before a language is loaded.
    static QStringList FormItems();

private:
    CSettingControls controls;
};
