#include "ui/saveprofilechoiceform.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/parseint.h"
#include "persistence/appsettings.h"
#include "ui/langcontroller.h"

TSaveProfileChoiceForm::TSaveProfileChoiceForm(QWidget* owner, CAppSettings* settings,
                                               const CAppLanguage* language)
    : TDialogForm(owner),
      GroupBox1(new QGroupBox(this)),
      NewValueChoice(new QRadioButton(QStringLiteral("Save new values"), GroupBox1)),
      CurrentValueChoice(new QRadioButton(QStringLiteral("Save current values"), GroupBox1)),
      CancelButton(new QPushButton(QStringLiteral("Cancel"), this)),
      SaveButton(new QPushButton(QStringLiteral("Save"), this)),
      settings(settings),
      language(language) {
    setObjectName(QStringLiteral("SaveProfileChoiceForm"));
    setWindowTitle(QStringLiteral("Choose Profile Values"));
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    NewValueChoice->setObjectName(QStringLiteral("NewValueChoice"));
    CurrentValueChoice->setObjectName(QStringLiteral("CurrentValueChoice"));
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    SaveButton->setObjectName(QStringLiteral("SaveButton"));
    SaveButton->setDefault(true);

    auto* choices = new QVBoxLayout(GroupBox1);
    choices->addWidget(NewValueChoice);
    choices->addWidget(CurrentValueChoice);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(CancelButton);
    buttons->addWidget(SaveButton);
    auto* form = new QVBoxLayout(this);
    form->setSizeConstraint(QLayout::SetFixedSize);
    form->addWidget(GroupBox1);
    form->addLayout(buttons);

    int32_t remembered = kNewValues;
    if (settings != nullptr) {
        remembered = ParseInt(settings->ReadValue(kSettingsSection, kSettingSaveProfileChoice,
                                                  kSettingSaveProfileChoiceDefault),
                              kNewValues);
    }
    SelectChoice(remembered);

    if (language != nullptr) {
        CancelButton->setText(LanguageText(*language, "CANCEL"));
        setWindowTitle(LanguageText(*language, "SAVE_PROFILE_CHOICE"));
        NewValueChoice->setText(LanguageText(*language, "NEW_VALUES_CHOICE"));
        CurrentValueChoice->setText(LanguageText(*language, "CURRENT_VALUES_CHOICE"));
        SaveButton->setText(LanguageText(*language, "SAVE_BUTTON"));
    }

    // Toggled rather than clicked, so that a choice made with the arrow keys counts too.
    connect(NewValueChoice, &QRadioButton::toggled, this, [this](bool checked) {
        if (checked) {
            choice = kNewValues;
        }
    });
    connect(CurrentValueChoice, &QRadioButton::toggled, this, [this](bool checked) {
        if (checked) {
            choice = kCurrentValues;
        }
    });
    connect(SaveButton, &QPushButton::clicked, this, [this] { done(mrOk); });
    connect(CancelButton, &QPushButton::clicked, this, [this] { done(mrCancel); });
}

TSaveProfileChoiceForm::~TSaveProfileChoiceForm() {
    if (settings != nullptr) {
        settings->TryWriteValue(kSettingsSection, kSettingSaveProfileChoice, IntToStr(choice));
    }
}

void TSaveProfileChoiceForm::SelectChoice(int32_t value) {
    choice = value == kCurrentValues ? kCurrentValues : kNewValues;
    (choice == kCurrentValues ? CurrentValueChoice : NewValueChoice)->setChecked(true);
}
