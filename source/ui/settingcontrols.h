#pragma once

#include <QPointer>
#include <string>

#include "model/guihelper.h"
#include "model/settingrules.h"

class QComboBox;
class QLineEdit;

// The pair of controls of one setting presenter: the read-only current edit and the new
// control, a drop-down list or an edit. Values go through the setting rules of the kind, so the
// window keeps exactly what a presenter without controls keeps; this class only shows the
// outcome. It owns neither control and skips a control that has gone.
class CSettingControls {
public:
    CSettingControls(ESettingKind kind, QLineEdit* currentControl, QComboBox* newControl);
    CSettingControls(ESettingKind kind, QLineEdit* currentControl, QLineEdit* newControl);

    // A value read from the unit: shown, and kept in `text` and in `presenter`'s current value,
    // and in its new value and new control unless the user has chosen the new value.
    void ShowUnitValue(IGuiHelper& presenter, std::string& text);
    // A value typed or loaded: shown in the new control, and kept in `presenter`'s new value
    // and in `text`.
    void SetNewValue(IGuiHelper& presenter, std::string& text);
    // A loaded language: the list's items in its words, the selection (and a typed text of an
    // editable list) kept, since a language switch changes the words and never the choice; the
    // current control shows `presenter`'s current value in the new words too.
    void Update(const IGuiHelper& presenter, IObsEvent* event);

private:
    void ShowInCurrentControl(const CControlView& view);
    void ShowInNewControl(const CControlView& view);

    ESettingKind kind;
    QPointer<QLineEdit> currentControl;
    QPointer<QComboBox> newList;
    QPointer<QLineEdit> newEdit;
};

// What the six presenters of the window share: their values follow the rules of their kind and
// their controls show the outcome. The presenters differ only in kind and controls.
class CControlledSettingGui : public IGuiHelper {
public:
    using IGuiHelper::SetNewValue;
    using IGuiHelper::ShowUnitValue;
    void Update(IObsEvent* event) override { controls.Update(*this, event); }
    void ShowUnitValue(std::string& text) override { controls.ShowUnitValue(*this, text); }
    void SetNewValue(std::string& text) override { controls.SetNewValue(*this, text); }

protected:
    template <typename NewControl>
    CControlledSettingGui(ESettingKind kind, QLineEdit* currentControl, NewControl* newControl)
        : controls(kind, currentControl, newControl) {}

private:
    CSettingControls controls;
};
