#pragma once

#include <mutex>

class QWidget;

// Closes the main window at the request of another thread (the stop signals' watcher) as its
// close button would, so that the window's own shutdown runs: a run in progress is cancelled
// and recorded, the port is given back, the settings are kept.
class CWindowCloser {
public:
    // From any thread, any number of times. A request made before a window is attached is
    // kept for it.
    void Request();
    // On the GUI thread: the window to close; nullptr before that window goes.
    void Attach(QWidget* window);

private:
    void PostClose();

    std::mutex lock;
    QWidget* window = nullptr;
    bool requested = false;
};
