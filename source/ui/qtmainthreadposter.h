#pragma once

#include <QObject>

#include <functional>
#include <memory>
#include <mutex>

// Carries the engine's "run this on the GUI thread" requests into Qt's event loop as queued
// calls on an object that lives on the GUI thread. Construct it on the GUI thread. The post
// function it hands out may be called from any thread, in any number of copies, and stays safe
// after the poster is gone: requests made then are dropped, and so are requests still queued
// when the poster is destroyed.
class CQtMainThreadPoster : public QObject {
public:
    using TPostToMain = std::function<void(std::function<void()>)>;

    explicit CQtMainThreadPoster(QObject* parent = nullptr);
    ~CQtMainThreadPoster() override;

    TPostToMain GetPostFunction() const;

private:
    struct CTarget {
        explicit CTarget(CQtMainThreadPoster* poster) : poster(poster) {}
        std::mutex mutex;
        CQtMainThreadPoster* poster;
    };
    // Run on the GUI thread for each request.
    static void Deliver(const std::function<void()>& closure);

    std::shared_ptr<CTarget> target;
};
