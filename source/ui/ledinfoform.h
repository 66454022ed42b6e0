#pragma once

#include "ui/dialogform.h"

class CAppLanguage;
class QFrame;
class QLabel;
class QPushButton;

// The hint before a connect: check that the unit's green LED is lit. OK goes on with the
// connect, Cancel (or closing the hint) leaves the port alone.
class TLedInfoForm : public TDialogForm {
    Q_OBJECT
public:
    explicit TLedInfoForm(QWidget* owner = nullptr);

    // The hint's text and the Cancel caption from the language; OK keeps its own caption.
    void ApplyLanguage(const CAppLanguage& language);

    // Shows the hint modally; true only when the user confirmed with OK.
    static bool Confirm(QWidget* owner, const CAppLanguage& language);

    QPushButton* const OkButton;
    QLabel* const InfoLabel;
    QFrame* const Bevel1;
    QFrame* const Bevel2;
    QPushButton* const CancelButton;
};
