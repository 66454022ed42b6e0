#include "ui/formprogress.h"

#include <QCloseEvent>
#include <QFont>
#include <QLabel>
#include <QPalette>
#include <QProgressBar>
#include <QPushButton>
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
    setFixedSize(289, 133);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);

    DescriptionLabel->setObjectName(QStringLiteral("DescriptionLabel"));
    DescriptionLabel->setGeometry(8, 0, 273, 65);
    QFont bold = DescriptionLabel->font();
    bold.setBold(true);
    bold.setPixelSize(13);
    DescriptionLabel->setFont(bold);
    DescriptionLabel->setAlignment(Qt::AlignCenter);
    DescriptionLabel->setWordWrap(true);

    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    ProgressBar->setGeometry(8, 65, 273, 16);
    ProgressBar->setRange(0, 100);
    ProgressBar->setValue(0);
    ProgressBar->setTextVisible(false);

    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setGeometry(112, 96, 75, 25);
    CancelButton->setAutoDefault(false);
    connect(CancelButton, &QPushButton::clicked, this, [this] { Cancel(); });
}

void TFormProgress::ShowProgress(const CProgressInfo& progressInfo) {
    DescriptionLabel->setText(QString::fromStdString(Win1252ToUtf8(progressInfo.GetDescription())));
    // A bar ignores a value outside its current range, so a position beyond the old maximum
    // would be lost when the maximum grows with the same report; the position is given again
    // once the range is right. A maximum below zero would drag the minimum with it.
    const int maximum = std::max(progressInfo.GetMaximum(), 0);
    ProgressBar->setValue(progressInfo.GetPosition());
    ProgressBar->setMaximum(maximum);
    ProgressBar->setValue(std::clamp(progressInfo.GetPosition(), 0, maximum));
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
