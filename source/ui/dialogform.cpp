#include "ui/dialogform.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QPalette>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

TDialogForm::TDialogForm(QWidget* owner, bool borderIcons) : QDialog(owner) {
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (borderIcons) {
        flags |= Qt::WindowCloseButtonHint;
    }
    setWindowFlags(flags);
    setModal(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);
}

void TDialogForm::reject() {
    done(mrCancel);
}

void TDialogForm::showEvent(QShowEvent* event) {
    // The layout fixes the size only once the texts are in, so the size is settled here, just
    // before the window appears, and the window is centred on that size.
    if (layout() != nullptr) {
        layout()->activate();
    }
    CentreOnDesktop(*this);
    QDialog::showEvent(event);
}

void CentreOnDesktop(QWidget& window) {
    const QScreen* screen = window.screen();
    if (screen == nullptr) {
        return;
    }
    QRect frame = window.frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window.move(frame.topLeft());
}

QFrame* NewBevel(QWidget* parent) {
    auto* bevel = new QFrame(parent);
    bevel->setFrameShape(QFrame::HLine);
    bevel->setFrameShadow(QFrame::Sunken);
    return bevel;
}

void TDialogForm::LayOutHint(QFrame* bevel1, QLabel* infoLabel, QFrame* bevel2,
                             std::initializer_list<QPushButton*> buttons) {
    infoLabel->setWordWrap(true);
    infoLabel->setFixedWidth(320);
    auto* row = new QHBoxLayout;
    row->addStretch();
    for (QPushButton* button : buttons) {
        row->addWidget(button);
    }
    if (buttons.size() == 1) {
        row->addStretch();
    }
    (*buttons.begin())->setDefault(true);
    auto* form = new QVBoxLayout(this);
    form->setSizeConstraint(QLayout::SetFixedSize);
    form->addWidget(bevel1);
    form->addWidget(infoLabel);
    form->addWidget(bevel2);
    form->addLayout(row);
}
