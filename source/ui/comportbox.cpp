#include "ui/comportbox.h"

TComPortBox::TComPortBox(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    // A typed name is a choice, not a new list entry.
    setInsertPolicy(QComboBox::NoInsert);
}

void TComPortBox::showPopup() {
    if (OnDropDown) {
        OnDropDown();
    }
    QComboBox::showPopup();
}
