#pragma once

#include <string>

#include "model/guihelper.h"
#include "ui/settingcontrols.h"

class QLineEdit;

// The delay or block time of one input, 0 to 254, in two edits.
class CDelayBlockTimeGui : public IGuiHelper {
public:
    // The controls are only borrowed; the window owns them.
    CDelayBlockTimeGui(QLineEdit* currentControl, QLineEdit* newControl);

    using IGuiHelper::SetNewValue;
    using IGuiHelper::ShowUnitValue;
    // The edits have no texts of their own to translate.
    void Update(IObsEvent* event) override;
    // The unit's text is kept and shown as it is, out of range too; the new edit shows it only
    // when it is in range.
    void ShowUnitValue(std::string& text) override;
    // A value in range is kept in plain decimal (" 12", "+12" and "$0C" become "12"), so what
    // is written to the unit is always a plain number. Anything else gives the current value
    // when that is in range, else 2.
    void SetNewValue(std::string& text) override;

private:
    CSettingControls controls;
};
