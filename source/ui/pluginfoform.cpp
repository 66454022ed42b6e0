#include "ui/pluginfoform.h"

#include <QLabel>
#include <QPushButton>

#include "ui/langcontroller.h"

TPlugInfoForm::TPlugInfoForm(QWidget* owner)
    : TDialogForm(owner),
      Bevel1(NewBevel(this)),
      InfoLabel(new QLabel(this)),
      Bevel2(NewBevel(this)),
      OkButton(new QPushButton(QStringLiteral("OK"), this)) {
    setObjectName(QStringLiteral("PlugInfoForm"));
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    InfoLabel->setObjectName(QStringLiteral("InfoLabel"));
    Bevel2->setObjectName(QStringLiteral("Bevel2"));
    OkButton->setObjectName(QStringLiteral("OkButton"));
    LayOutHint(Bevel1, InfoLabel, Bevel2, {OkButton});

    connect(OkButton, &QPushButton::clicked, this, [this] { done(mrOk); });
}

void TPlugInfoForm::ApplyLanguage(const CAppLanguage& language) {
    InfoLabel->setText(LanguageText(language, "RECONNECT_PLUGS"));
}

void TPlugInfoForm::Inform(QWidget* owner, const CAppLanguage& language, bool verified) {
    TPlugInfoForm form(owner);
    form.ApplyLanguage(language);
    if (verified) {
        form.InfoLabel->setText(LanguageText(language, "VERIFIED") + QStringLiteral("\n\n") +
                                form.InfoLabel->text());
    }
    form.exec();
}
