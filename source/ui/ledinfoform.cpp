#include "ui/ledinfoform.h"

#include <QLabel>
#include <QPushButton>

#include "ui/langcontroller.h"

TLedInfoForm::TLedInfoForm(QWidget* owner)
    : TDialogForm(owner),
      OkButton(new QPushButton(QStringLiteral("OK"), this)),
      InfoLabel(new QLabel(this)),
      Bevel1(NewBevel(this)),
      Bevel2(NewBevel(this)),
      CancelButton(new QPushButton(QStringLiteral("Cancel"), this)) {
    setObjectName(QStringLiteral("LedInfoForm"));
    OkButton->setObjectName(QStringLiteral("OkButton"));
    InfoLabel->setObjectName(QStringLiteral("InfoLabel"));
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel2->setObjectName(QStringLiteral("Bevel2"));
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    LayOutHint(Bevel1, InfoLabel, Bevel2, {OkButton, CancelButton});

    connect(OkButton, &QPushButton::clicked, this, [this] { done(mrOk); });
    connect(CancelButton, &QPushButton::clicked, this, [this] { done(mrCancel); });
}

void TLedInfoForm::ApplyLanguage(const CAppLanguage& language) {
    InfoLabel->setText(LanguageText(language, "GREEN_LED_LIT"));
    CancelButton->setText(LanguageText(language, "CANCEL"));
}

bool TLedInfoForm::Confirm(QWidget* owner, const CAppLanguage& language) {
    TLedInfoForm form(owner);
    form.ApplyLanguage(language);
    return form.exec() == mrOk;
}
