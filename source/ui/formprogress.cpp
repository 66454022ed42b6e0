#include "ui/formprogress.h"

#include <QCloseEvent>
#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QPalette>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "core/win1252.h"
#include "engine/controller.h"
#include "ui/dialogform.h"

TFormProgress::TFormProgress(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      DescriptionLabel(new QLabel(this)),
      ProgressBar(new QProgressBar(this)),
      CancelButton(new QPushButton(QStringLiteral("Cancel"), this)) {
    setObjectName(QStringLiteral("FormProgress"));
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);

    DescriptionLabel->setObjectName(QStringLiteral("DescriptionLabel"));
    QFont bold = DescriptionLabel->font();
    bold.setBold(true);
    DescriptionLabel->setFont(bold);
    DescriptionLabel->setAlignment(Qt::AlignCenter);
    DescriptionLabel->setWordWrap(true);
    // Three lines of the longest description, whatever the font.
    DescriptionLabel->setMinimumHeight(3 * DescriptionLabel->fontMetrics().lineSpacing());
    DescriptionLabel->setFixedWidth(
        std::max(273, 34 * DescriptionLabel->fontMetrics().averageCharWidth()));

    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    ProgressBar->setRange(0, 100);
    ProgressBar->setValue(0);
    ProgressBar->setTextVisible(false);

    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setAutoDefault(false);
    connect(CancelButton, &QPushButton::clicked, this, [this] { Cancel(); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(CancelButton);
    buttons->addStretch();
    auto* form = new QVBoxLayout(this);
    form->setSizeConstraint(QLayout::SetFixedSize);
    form->setContentsMargins(8, 4, 8, 8);
    form->addWidget(DescriptionLabel);
    form->addWidget(ProgressBar);
    form->addSpacing(6);
    form->addLayout(buttons);
}

void TFormProgress::ShowProgress(const CProgressInfo& progressInfo) {
    DescriptionLabel->setText(QString::fromStdString(Win1252ToUtf8(progressInfo.GetDescription())));
    if (steps > 0) {
        const int maximum = progressInfo.GetMaximum();
        const double part =
            maximum > 0 ? std::clamp(progressInfo.GetPosition(), 0, maximum) / double(maximum)
                        : 0.0;
        ShowRunPosition(step - 1 + part);
        return;
    }
    // A bar ignores a value outside its current range, so a position beyond the old maximum
    // would be lost when the maximum grows with the same report; the position is given again
    // once the range is right. A maximum below zero would drag the minimum with it.
    const int maximum = std::max(progressInfo.GetMaximum(), 0);
    ProgressBar->setValue(progressInfo.GetPosition());
    ProgressBar->setMaximum(maximum);
    ProgressBar->setValue(std::clamp(progressInfo.GetPosition(), 0, maximum));
}

void TFormProgress::StartRun() {
    step = 0;
    steps = 0;
    shown = 0;
    ProgressBar->setRange(0, kRunScale);
    ProgressBar->setValue(0);
}

void TFormProgress::ShowStep(int stepNumber, int stepCount) {
    steps = std::max(stepCount, 1);
    step = std::clamp(stepNumber, 1, steps);
    ShowRunPosition(step - 1);
}

void TFormProgress::ShowRunPosition(double done) {
    const int value = static_cast<int>(kRunScale * std::clamp(done / steps, 0.0, 1.0));
    shown = std::max(shown, value);
    if (ProgressBar->maximum() != kRunScale || ProgressBar->minimum() != 0) {
        ProgressBar->setRange(0, kRunScale);
    }
    ProgressBar->setValue(shown);
}

void TFormProgress::reject() {
    Cancel();
}

void TFormProgress::closeEvent(QCloseEvent* event) {
    event->ignore();
    Cancel();
}

void TFormProgress::showEvent(QShowEvent* event) {
    CentreOnDesktop(*this);
    QDialog::showEvent(event);
}

void TFormProgress::Cancel() {
    setResult(mrCancel);
    if (OnCancel) {
        OnCancel();
    }
}
