#include "ui/qtmainthreadposter.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "support/waituntil.h"

namespace {

bool PumpQtUntil(const std::function<bool()>& condition) {
    return WaitUntil([&] {
        QCoreApplication::processEvents();
        return condition();
    });
}

// An exception in one request does not end the loop.
TEST(QtMainThreadPoster, RequestsFromAnyThreadRunInOrderOnTheGuiThread) {
    CQtMainThreadPoster poster;
    const auto post = poster.GetPostFunction();
    std::vector<std::pair<int, std::thread::id>> ran;
    post([] { throw std::runtime_error("unhandled"); });
    std::thread worker([&] {
        for (int i = 0; i < 50; ++i) {
            post([&, i] { ran.emplace_back(i, std::this_thread::get_id()); });
        }
    });
    worker.join();
    ASSERT_TRUE(PumpQtUntil([&] { return ran.size() == 50; }));
    for (int i = 0; i < 50; ++i) {
        EXPECT_EQ(ran[i], std::make_pair(i, std::this_thread::get_id()));
    }
}

TEST(QtMainThreadPoster, RequestsOutlivingThePosterAreDropped) {
    int ran = 0;
    CQtMainThreadPoster::TPostToMain post;
    {
        CQtMainThreadPoster poster;
        post = poster.GetPostFunction();
        post([&] { ++ran; });  // still queued when the poster goes
    }
    post([&] { ++ran; });  // made after it went
    // Drain the queue with a request of our own that is known to arrive.
    CQtMainThreadPoster probe;
    bool drained = false;
    probe.GetPostFunction()([&] { drained = true; });
    ASSERT_TRUE(PumpQtUntil([&] { return drained; }));
    EXPECT_EQ(ran, 0);
}

}  // namespace
