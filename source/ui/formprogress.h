#pragma once

#include <QDialog>
#include <functional>

class CProgressInfo;
class QCloseEvent;
class QLabel;
class QProgressBar;
class QPushButton;
class QShowEvent;

// The small window that shows a running operation's text and progress and offers Cancel. The
// main window keeps one for its whole life, shows it without making it modal while a run is in
// progress and hides it itself; the window never hides on its own.
class TFormProgress : public QDialog {
    Q_OBJECT
public:
    explicit TFormProgress(QWidget* owner = nullptr);

    // Caption, then position, then maximum, as a controller reports them. The bar always ends
    // up showing `position` of `maximum`, whatever range it had before.
    void ShowProgress(const CProgressInfo& progressInfo);

    // Run by CancelButton, and by Escape or a request to close the window: every way the user
    // can ask to stop reaches the same cancel, instead of hiding the window while the run goes
    // on behind a disabled main window.
    std::function<void()> OnCancel;

    QLabel* const DescriptionLabel;
    QProgressBar* const ProgressBar;
    QPushButton* const CancelButton;

    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void Cancel();
};
