#pragma once

#include <cstdint>
#include <string>

#include "atcomm/replyparser.h"
#include "ui/dialogform.h"

class CAppLanguage;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

// Asks the user for the code the SIM wants: a PIN (or PIN2), or a PUK (or PUK2) with the new
// PIN. OK is offered only while every code field asked for holds a code the SIM could accept,
// 4 to 8 decimal digits, so a typed blank, sign or letter never costs the SIM one of its tries.
// The codes are hidden as they are typed unless the user ticks "Show codes".
class TPinPukForm : public TDialogForm {
    Q_OBJECT
public:
    // In PUK mode both fields are needed; otherwise only PINEdit.
    TPinPukForm(QWidget* owner, bool pukMode);

    bool IsPukMode() const { return pukMode; }

    // Texts and field states for the code the SIM asks for (type 0 to 3; any other leaves the
    // instructions empty and the fields as they are).
    void Prepare(const CAppLanguage& language, EPinKind type, int32_t triesLeft,
                 bool previousCodeIncorrect);

    // Hands the outcome of exec() back the way CControllerPin's OnRequestCode expects: the
    // typed codes and the lock-off choice after OK; otherwise only userAborted changes.
    void TakeResult(int modalResult, std::string& pin, std::string& puk, bool& disableCodeCheck,
                    bool& userAborted) const;

    // The whole prompt for the main window's OnRequestCode handler (which also sets its
    // pin-asked flag): builds the form for `type`, shows it modally and returns the outcome.
    static void RequestCode(QWidget* owner, const CAppLanguage& language, EPinKind type,
                            int32_t triesLeft, std::string& pin, std::string& puk,
                            bool& disableCodeCheck, bool previousCodeIncorrect, bool& userAborted);

    QFrame* const Bevel2;
    QFrame* const Bevel1;
    QLabel* const InstructionsLabel;
    QLabel* const TriesLeftLabel;
    QLabel* const PINLabel;
    QLabel* const ProgressLabel;
    QLineEdit* const PINEdit;
    QCheckBox* const DisableCheck;
    QPushButton* const CancelButton;
    QPushButton* const OKButton;
    QLabel* const PUKLabel;
    QLineEdit* const PUKEdit;
    QLabel* const IncorrectPasswordLabel;
    // The codes show as dots unless this is ticked.
    QCheckBox* const ShowCodesCheck;

private:
    bool CodesComplete() const;
    void UpdateOkButton();
    void SetPukEditable(bool editable);

    const bool pukMode;
};
