#pragma once

#include <QDialog>
#include <initializer_list>

class QFrame;
class QLabel;
class QPushButton;
class QShowEvent;

// Modal results of the program's dialogs: what exec() returns.
inline constexpr int mrOk = 1;
inline constexpr int mrCancel = 2;

// The common frame of the small modal dialogs: white background, a border the user cannot
// resize, centred on the desktop when shown. Closing it by any way other than its own buttons
// (Escape, the close box) gives mrCancel, so a caller never mistakes a dismissal for a
// confirmation.
class TDialogForm : public QDialog {
    Q_OBJECT
public:
    // Without border icons the window has no close box; Escape still cancels.
    explicit TDialogForm(QWidget* owner, bool borderIcons = true);

    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    // The layout of the one-message hints: the text between two bevels, then the buttons on
    // the right (one button: centred); the first button is the default.
    void LayOutHint(QFrame* bevel1, QLabel* infoLabel, QFrame* bevel2,
                    std::initializer_list<QPushButton*> buttons);
};

// Moves `window` to the middle of the desktop it is on.
void CentreOnDesktop(QWidget& window);

// A sunken horizontal line that sets the parts of a dialog apart.
QFrame* NewBevel(QWidget* parent);
