#pragma once

#include <QPointer>
#include <QStringList>
#include <string>
#include <vector>

class CAppLanguage;
class IObsEvent;
class QComboBox;
class QLineEdit;

// The language that a presenter's Update is told about: the event's language object when it
// is a language-loaded event that carries one, else null (the event is then ignored).
CAppLanguage* LoadedLanguage(IObsEvent* event);

// Replaces the items of a setting's combo box and selects the item that was selected before,
// so a language switch changes the words and never the choice. An editable combo box keeps a
// typed text that is not its selected item, since that text, not the selection, is the value.
// Change signals are held back meanwhile: the choice itself does not change.
void RefillComboItems(QComboBox* combo, const QStringList& items);

// What the drop-down list presenters share: a list whose selected index is the value, with one
// fallback for an invalid value read from the unit and another for an invalid value typed or
// loaded. It owns neither control and skips a control that has gone. The presenter keeps the
// value texts; the operations here return the text to keep.
class CDropDownList {
public:
    CDropDownList(QLineEdit* currentControl, QComboBox* newControl,
                  std::vector<std::string> itemKeys, int unitFallback, int newFallback);

    // Both controls show the unit's value; an invalid one gives the unit fallback.
    std::string ShowUnitValue(const std::string& text);
    // The new control selects the value; a text that is no number (such as an item's caption)
    // keeps the selected item, anything else invalid gives the new-value fallback.
    std::string SetNewValue(const std::string& text);
    // Puts the language's texts of the item keys into the list, keeping the selection.
    void Update(IObsEvent* event);

private:
    bool IsValidIndex(int index) const;

    QPointer<QLineEdit> currentControl;
    QPointer<QComboBox> newControl;
    std::vector<std::string> itemKeys;
    int unitFallback;
    int newFallback;
};
