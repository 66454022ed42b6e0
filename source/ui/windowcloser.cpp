#include "ui/windowcloser.h"

#include <QMetaObject>
#include <QWidget>

void CWindowCloser::Request() {
    std::lock_guard guard(lock);
    requested = true;
    PostClose();
}

void CWindowCloser::Attach(QWidget* newWindow) {
    std::lock_guard guard(lock);
    window = newWindow;
    if (requested) {
        PostClose();
    }
}

void CWindowCloser::PostClose() {
    if (window == nullptr) {
        return;
    }
    // Queued, with the window as context: the close runs on the GUI thread, and is dropped
    // should the window go first. Posting is all that happens under the lock. A dialog open at
    // the time needs no answer: with the window gone the program quits, and that ends the
    // dialog's event loop as well, as a cancel.
    QMetaObject::invokeMethod(
        window, [target = window] { target->close(); }, Qt::QueuedConnection);
}
