#pragma once

#include <QDialog>

class QFrame;
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
};

// Moves `window` to the middle of the desktop it is on.
void CentreOnDesktop(QWidget& window);

// A sunken horizontal line that sets the parts of a dialog apart.
QFrame* NewBevel(QWidget* parent);
