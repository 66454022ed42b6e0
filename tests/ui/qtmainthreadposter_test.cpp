#include "ui/qtmainthreadposter.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "engine/processorhandler.h"
#include "support/scriptedcontroller.h"
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
    std::vector<int> order;
    std::vector<std::thread::id> threads;
    post([] { throw std::runtime_error("unhandled"); });
    std::thread worker([&] {
        for (int i = 0; i < 50; ++i) {
            post([&, i] {
                order.push_back(i);
                threads.push_back(std::this_thread::get_id());
            });
        }
    });
    worker.join();
    ASSERT_TRUE(PumpQtUntil([&] { return order.size() == 50; }));
    for (int i = 0; i < 50; ++i) {
        EXPECT_EQ(order[i], i);
        EXPECT_EQ(threads[i], std::this_thread::get_id());
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
