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

    // Caption, then position, then maximum, as a controller reports them. Without steps the
    // bar always ends up showing `position` of `maximum`, whatever range it had before; within
    // a run of known steps it shows the run's progress, the step's items included.
    void ShowProgress(const CProgressInfo& progressInfo);
    // A run begins: the bar starts empty and counts steps from now on.
    void StartRun();
    // Step `step` (from 1) of `steps` begins; the bar moves on by one step's share, and the
    // item positions reported next fill that share. It never moves back within a run.
    void ShowStep(int step, int steps);
    // The bar's resolution while steps are counted.
    static constexpr int kRunScale = 1000;

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
    void ShowRunPosition(double done);

    int step = 0;
    int steps = 0;
    int shown = 0;
};
