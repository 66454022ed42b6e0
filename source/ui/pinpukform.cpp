#include "ui/pinpukform.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QVBoxLayout>

#include "atcomm/controllerpin.h"
#include "core/win1252.h"
#include "ui/langcontroller.h"

namespace {

std::string CodeOf(const QLineEdit& edit) {
    return Utf8ToWin1252(edit.text().toStdString());
}

}  // namespace

TPinPukForm::TPinPukForm(QWidget* owner, bool pukMode)
    : TDialogForm(owner, false),
      Bevel2(NewBevel(this)),
      Bevel1(NewBevel(this)),
      InstructionsLabel(new QLabel(QStringLiteral("Please wait for instructions..."), this)),
      TriesLeftLabel(new QLabel(QStringLiteral("Tries Left:"), this)),
      PINLabel(new QLabel(QStringLiteral("PIN:"), this)),
      ProgressLabel(new QLabel(this)),
      PINEdit(new QLineEdit(this)),
      DisableCheck(new QCheckBox(QStringLiteral("Disable Code"), this)),
      CancelButton(new QPushButton(QStringLiteral("Cancel"), this)),
      OKButton(new QPushButton(QStringLiteral("OK"), this)),
      PUKLabel(new QLabel(QStringLiteral("PUK:"), this)),
      PUKEdit(new QLineEdit(this)),
      IncorrectPasswordLabel(new QLabel(this)),
      ShowCodesCheck(new QCheckBox(QStringLiteral("S&how codes"), this)),
      pukMode(pukMode) {
    setObjectName(QStringLiteral("PinPukForm"));
    setWindowTitle(QStringLiteral("PIN/PUK"));
    Bevel2->setObjectName(QStringLiteral("Bevel2"));
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    InstructionsLabel->setObjectName(QStringLiteral("InstructionsLabel"));
    TriesLeftLabel->setObjectName(QStringLiteral("TriesLeftLabel"));
    PINLabel->setObjectName(QStringLiteral("PINLabel"));
    ProgressLabel->setObjectName(QStringLiteral("ProgressLabel"));
    PINEdit->setObjectName(QStringLiteral("PINEdit"));
    DisableCheck->setObjectName(QStringLiteral("DisableCheck"));
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    OKButton->setObjectName(QStringLiteral("OKButton"));
    PUKLabel->setObjectName(QStringLiteral("PUKLabel"));
    PUKEdit->setObjectName(QStringLiteral("PUKEdit"));
    IncorrectPasswordLabel->setObjectName(QStringLiteral("IncorrectPasswordLabel"));
    ShowCodesCheck->setObjectName(QStringLiteral("ShowCodesCheck"));
    for (QLineEdit* code : {PINEdit, PUKEdit}) {
        code->setEchoMode(QLineEdit::Password);
    }
    connect(ShowCodesCheck, &QCheckBox::toggled, this, [this](bool show) {
        for (QLineEdit* code : {PINEdit, PUKEdit}) {
            code->setEchoMode(show ? QLineEdit::Normal : QLineEdit::Password);
        }
    });

    InstructionsLabel->setWordWrap(true);
    InstructionsLabel->setFixedWidth(300);
    TriesLeftLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    IncorrectPasswordLabel->setWordWrap(true);
    IncorrectPasswordLabel->setFixedWidth(300);
    PINEdit->setMaxLength(static_cast<int>(CControllerPin::kMaxCodeLength));
    PUKEdit->setMaxLength(static_cast<int>(CControllerPin::kMaxCodeLength));
    DisableCheck->setChecked(true);
    OKButton->setDefault(true);
    OKButton->setEnabled(false);
    SetPukEditable(false);

    auto* codes = new QGridLayout;
    codes->addWidget(PINLabel, 0, 0);
    codes->addWidget(PINEdit, 0, 1);
    codes->addWidget(TriesLeftLabel, 0, 2);
    codes->addWidget(PUKLabel, 1, 0);
    codes->addWidget(PUKEdit, 1, 1);
    codes->addWidget(ProgressLabel, 1, 2);
    codes->addWidget(ShowCodesCheck, 2, 1, 1, 2);
    codes->addWidget(DisableCheck, 3, 1, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(CancelButton);
    buttons->addWidget(OKButton);
    auto* form = new QVBoxLayout(this);
    form->setSizeConstraint(QLayout::SetFixedSize);
    form->addWidget(InstructionsLabel);
    form->addWidget(Bevel1);
    form->addLayout(codes);
    form->addWidget(IncorrectPasswordLabel);
    form->addWidget(Bevel2);
    form->addLayout(buttons);

    connect(PINEdit, &QLineEdit::textChanged, this, [this] { UpdateOkButton(); });
    connect(PUKEdit, &QLineEdit::textChanged, this, [this] { UpdateOkButton(); });
    connect(OKButton, &QPushButton::clicked, this, [this] {
        // Enter reaches the default button only while it is enabled; checking again here keeps
        // any other way of pressing it from returning codes that are not complete.
        if (CodesComplete()) {
            done(mrOk);
        }
    });
    connect(CancelButton, &QPushButton::clicked, this, [this] { done(mrCancel); });
}

void TPinPukForm::Prepare(const CAppLanguage& language, EPinKind type, int32_t triesLeft,
                          bool previousCodeIncorrect) {
    DisableCheck->setText(LanguageText(language, "CONTROLLER_PIN_DISABLE_CODE"));
    ShowCodesCheck->setText(LanguageText(language, "SHOW_CODES"));
    CancelButton->setText(LanguageText(language, "CANCEL"));
    QString instructions;
    switch (type) {
        case EPinKind::SimPin:
            instructions = LanguageText(language, "CONTROLLER_PIN_ENTER_PIN");
            PINLabel->setText(QStringLiteral("PIN"));
            break;
        case EPinKind::SimPin2:
            instructions = LanguageText(language, "CONTROLLER_PIN_ENTER_PIN2");
            PINLabel->setText(QStringLiteral("PIN2"));
            break;
        case EPinKind::SimPuk:
            instructions = LanguageText(language, "CONTROLLER_PIN_ENTER_PUK");
            PUKLabel->setText(QStringLiteral("PUK"));
            break;
        case EPinKind::SimPuk2:
            instructions = LanguageText(language, "CONTROLLER_PIN_ENTER_PUK2");
            PUKLabel->setText(QStringLiteral("PUK2"));
            break;
        default:
            break;
    }
    InstructionsLabel->setText(instructions);
    TriesLeftLabel->setText(LanguageText(language, "CONTROLLER_PIN_TRIES_LEFT") + QLatin1Char(' ') +
                            QString::number(triesLeft));
    if (type == EPinKind::SimPin || type == EPinKind::SimPin2) {
        SetPukEditable(false);
    } else if (type == EPinKind::SimPuk || type == EPinKind::SimPuk2) {
        SetPukEditable(true);
    }
    if (previousCodeIncorrect) {
        IncorrectPasswordLabel->setText(
            LanguageText(language, "CONTROLLER_PIN_INCORRECT_PASSWORD"));
    }
}

void TPinPukForm::TakeResult(int modalResult, std::string& pin, std::string& puk,
                             bool& disableCodeCheck, bool& userAborted) const {
    if (modalResult != mrOk) {
        userAborted = true;
        return;
    }
    pin = CodeOf(*PINEdit);
    puk = CodeOf(*PUKEdit);
    disableCodeCheck = DisableCheck->isChecked();
    userAborted = false;
}

void TPinPukForm::RequestCode(QWidget* owner, const CAppLanguage& language, EPinKind type,
                              int32_t triesLeft, std::string& pin, std::string& puk,
                              bool& disableCodeCheck, bool previousCodeIncorrect,
                              bool& userAborted) {
    TPinPukForm form(owner, type == EPinKind::SimPuk || type == EPinKind::SimPuk2);
    form.Prepare(language, type, triesLeft, previousCodeIncorrect);
    const int result = form.exec();
    form.TakeResult(result, pin, puk, disableCodeCheck, userAborted);
}

bool TPinPukForm::CodesComplete() const {
    if (!CControllerPin::IsValidCode(CodeOf(*PINEdit))) {
        return false;
    }
    return !pukMode || CControllerPin::IsValidCode(CodeOf(*PUKEdit));
}

void TPinPukForm::UpdateOkButton() {
    OKButton->setEnabled(CodesComplete());
}

void TPinPukForm::SetPukEditable(bool editable) {
    PUKEdit->setEnabled(editable);
    PUKEdit->setReadOnly(!editable);
    // Grey like a button face when it is not asked for, white like any field to type in.
    QPalette colours = PUKEdit->palette();
    colours.setColor(QPalette::Base, editable ? palette().color(QPalette::Base)
                                              : palette().color(QPalette::Button));
    PUKEdit->setPalette(colours);
}
