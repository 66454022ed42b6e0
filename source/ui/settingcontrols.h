#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "model/guihelper.h"
#include "model/settingrules.h"

class QComboBox;
class QLineEdit;
class QWidget;

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

    // From now on the new control hands its text to `presenter` when it loses the focus, and a
    // list that takes no typing also when an item is picked. What the user typed or picked is
    // the user's choice, which a unit read later does not replace. A text that `refused` judges
    // unfit stays where it was typed, and the value before it stays too. `handedOn` follows
    // every value handed on. The wiring goes with this object.
    void Wire(IGuiHelper& presenter, std::function<bool(const QLineEdit*)> refused,
              std::function<void()> handedOn);
    // Hands on what the new control shows, as leaving it does.
    void Commit(IGuiHelper& presenter);
    // `widget` is the new control or the line edit of an editable list.
    bool IsNewControl(const QWidget* widget) const;

private:
    void ShowInCurrentControl(const CControlView& view);
    void ShowInNewControl(const CControlView& view);

    ESettingKind kind;
    QPointer<QLineEdit> currentControl;
    QPointer<QComboBox> newList;
    QPointer<QLineEdit> newEdit;
    std::function<bool(const QLineEdit*)> refused;
    std::function<void()> handedOn;
    // The user has typed into or picked from the new control since its value was last handed
    // on: the value it then hands on is the user's choice.
    bool choicePending = false;
    // The focus-out filter and the context of the connections; they end with this object.
    std::unique_ptr<QObject> wiring;
};

// A setting presenter of the window: its values follow the rules of its kind and its two
// controls show the outcome. The controls are only borrowed; the window owns them.
class CControlledSettingGui : public IGuiHelper {
public:
    CControlledSettingGui(ESettingKind kind, QLineEdit* currentControl, QComboBox* newControl)
        : controls(kind, currentControl, newControl) {}
    CControlledSettingGui(ESettingKind kind, QLineEdit* currentControl, QLineEdit* newControl)
        : controls(kind, currentControl, newControl) {}

    // The English items of a drop-down kind's list, which the window shows before a language
    // is loaded; empty for the delays' edit. The active time's list takes typed times too.
    static QStringList FormItems(ESettingKind kind);

    using IGuiHelper::SetNewValue;
    using IGuiHelper::ShowUnitValue;
    void Update(IObsEvent* event) override { controls.Update(*this, event); }
    void ShowUnitValue(std::string& text) override { controls.ShowUnitValue(*this, text); }
    void SetNewValue(std::string& text) override { controls.SetNewValue(*this, text); }

    // See CSettingControls::Wire.
    void Wire(std::function<bool(const QLineEdit*)> refused, std::function<void()> handedOn) {
        controls.Wire(*this, std::move(refused), std::move(handedOn));
    }
    void Commit() { controls.Commit(*this); }
    bool IsNewControl(const QWidget* widget) const { return controls.IsNewControl(widget); }

private:
    CSettingControls controls;
};
