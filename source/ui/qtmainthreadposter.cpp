#include "ui/qtmainthreadposter.h"

#include <QMetaObject>
#include <QtGlobal>

#include <exception>

CQtMainThreadPoster::CQtMainThreadPoster(QObject* parent)
    : QObject(parent), target(std::make_shared<CTarget>(this)) {}

CQtMainThreadPoster::~CQtMainThreadPoster() {
    // After this no thread can reach the object; QObject's destructor then drops the calls
    // already queued for it.
    std::lock_guard guard(target->mutex);
    target->poster = nullptr;
}

CQtMainThreadPoster::TPostToMain CQtMainThreadPoster::GetPostFunction() const {
    return [target = target](std::function<void()> closure) {
        // Held across the post so that the poster cannot be destroyed half-way through it.
        std::lock_guard guard(target->mutex);
        if (target->poster != nullptr) {
            QMetaObject::invokeMethod(
                target->poster, [closure = std::move(closure)] { Deliver(closure); },
                Qt::QueuedConnection);
        }
    };
}

void CQtMainThreadPoster::Deliver(const std::function<void()>& closure) {
    // Qt does not let exceptions pass through its event loop; one that reaches here was not
    // taken by the handler's OnException, so report it rather than end the program.
    try {
        closure();
    } catch (const std::exception& error) {
        qCritical("Unhandled exception in a call posted to the GUI thread: %s", error.what());
    } catch (...) {
        qCritical("Unhandled exception in a call posted to the GUI thread");
    }
}
