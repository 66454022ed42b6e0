#include "ui/ledinfoform.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/langcontroller.h"

TLedInfoForm::TLedInfoForm(QWidget* owner)
    : TDialogForm(owner),
      OkButton(new QPushButton(QStringLiteral("OK"), this)),
      InfoLabel(new QLabel(this)),
      Bevel1(NewBevel(this)),
      Bevel2(NewBevel(this)),
      CancelButton(new QPushButton(QStringLiteral("Cancel"), this)),
      DontShowAgainCheck(new QCheckBox(QStringLiteral("&Don't show this again"), this)) {
    setObjectName(QStringLiteral("LedInfoForm"));
    OkButton->setObjectName(QStringLiteral("OkButton"));
    InfoLabel->setObjectName(QStringLiteral("InfoLabel"));
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel2->setObjectName(QStringLiteral("Bevel2"));
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    DontShowAgainCheck->setObjectName(QStringLiteral("DontShowAgainCheck"));
    LayOutHint(Bevel1, InfoLabel, Bevel2, {OkButton, CancelButton});
    // Between the hint and the buttons; OK keeps the focus, so Enter confirms.
    if (auto* form = qobject_cast<QVBoxLayout*>(layout())) {
        form->insertWidget(form->indexOf(Bevel2), DontShowAgainCheck);
    }
    setTabOrder(OkButton, CancelButton);
    setTabOrder(CancelButton, DontShowAgainCheck);
    OkButton->setFocus();

    connect(OkButton, &QPushButton::clicked, this, [this] { done(mrOk); });
    connect(CancelButton, &QPushButton::clicked, this, [this] { done(mrCancel); });
}

void TLedInfoForm::ApplyLanguage(const CAppLanguage& language) {
    InfoLabel->setText(LanguageText(language, "GREEN_LED_LIT"));
    CancelButton->setText(LanguageText(language, "CANCEL"));
    DontShowAgainCheck->setText(LanguageText(language, "DONT_SHOW_AGAIN"));
}

bool TLedInfoForm::Confirm(QWidget* owner, const CAppLanguage& language, bool* dontShowAgain) {
    TLedInfoForm form(owner);
    form.ApplyLanguage(language);
    const bool confirmed = form.exec() == mrOk;
    if (dontShowAgain != nullptr) {
        *dontShowAgain = confirmed && form.DontShowAgainCheck->isChecked();
    }
    return confirmed;
}
