#pragma once

#include "ui/dialogform.h"

class CAppLanguage;
class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;

// The hint before a connect: check that the unit's green LED is lit. OK (or Enter) goes on
// with the connect, Cancel (or Escape, or closing the hint) leaves the port alone. "Don't show
// this again" lets the user skip the hint from then on.
class TLedInfoForm : public TDialogForm {
    Q_OBJECT
public:
    explicit TLedInfoForm(QWidget* owner = nullptr);

    // The hint's text and the captions from the language; OK keeps its own caption.
    void ApplyLanguage(const CAppLanguage& language);

    // Shows the hint modally; true only when the user confirmed with OK. `dontShowAgain`, when
    // given, is set to whether the user ticked "Don't show this again" and confirmed.
    static bool Confirm(QWidget* owner, const CAppLanguage& language,
                        bool* dontShowAgain = nullptr);

    QPushButton* const OkButton;
    QLabel* const InfoLabel;
    QFrame* const Bevel1;
    QFrame* const Bevel2;
    QPushButton* const CancelButton;
    QCheckBox* const DontShowAgainCheck;
};
