#pragma once

#include <QStringList>
#include <string>

#include "model/guihelper.h"
#include "ui/settingcontrols.h"

class QComboBox;
class QLineEdit;

// Access control off or on (0 or 1); anything out of range is taken as off.
// The value is the index of the item selected in the drop-down list.
class CAccessControlGui : public IGuiHelper {
public:
    // The controls are only borrowed; the window owns them.
    CAccessControlGui(QLineEdit* currentControl, QComboBox* newControl);

    using IGuiHelper::SetNewValue;
    using IGuiHelper::ShowUnitValue;
    void Update(IObsEvent* event) override;
    void ShowUnitValue(std::string& text) override;
    void SetNewValue(std::string& text) override;

    // The list's English items that the window shows before a language is loaded.
    static QStringList FormItems();

private:
    CSettingControls controls;
};
