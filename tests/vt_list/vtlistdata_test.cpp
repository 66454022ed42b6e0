#include "vtlistdata.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {

TEST(VTListData, CellsAppearOnDemandAndNegativeNumbersNameNone) {
    TVTListData data;
    data.setData(-1, 0, "a");
    data.setData(0, -1, "a");
    EXPECT_TRUE(data.createColumn(-1, 0).empty());
    EXPECT_TRUE(data.createColumn(0, -1).empty());
    EXPECT_EQ(data.getData(5, 3), "");  // reads never create
    EXPECT_EQ(data.rowCount(), 0);

    std::string all;  // every byte survives
    for (int b = 0; b < 256; ++b) {
        all.push_back(static_cast<char>(b));
    }
    data.setData(2, 4, all);
    data.setData(2, 1, "b");
    EXPECT_EQ(data.rowCount(), 3);
    EXPECT_EQ(data.getData(-1, 0), "");
    EXPECT_EQ(data.getData(2, -1), "");
    // An existing cell is left as it is; the copy shows the row as created and is the
    // caller's own.
    TVTListData::Row copy = data.createColumn(2, 0);
    EXPECT_EQ(copy, (TVTListData::Row{"", "b", "", "", all}));
    copy[1] = "changed";
    EXPECT_EQ(data.createColumn(4, 1), (TVTListData::Row{"", ""}));
    EXPECT_EQ(data.rowCount(), 5);
    EXPECT_EQ(data.getRow(2), (TVTListData::Row{"", "b", "", "", all}));
}

// A provider grows and fills a table on the worker thread while the grid paints it on the GUI
// thread. Growing the table moves its rows in memory; a reader that is not locked out then sees
// moved-from (empty) or freed strings in rows that were complete before it looked. Such a
// reader is caught now and then in a plain build and every time by ThreadSanitizer.
TEST(VTListData, WorkerWritesWhileAnotherThreadReads) {
    constexpr int kRows = 1000;
    constexpr int kCols = 8;
    const auto text = [](int r, int c) { return "cell " + std::to_string(r * kCols + c); };
    const TVTListData::Row first{text(0, 0), text(0, 1), text(0, 2), text(0, 3),
                                 text(0, 4), text(0, 5), text(0, 6), text(0, 7)};
    for (int round = 0; round < 20; ++round) {
        TVTListData data;
        std::atomic<bool> done{false};
        std::thread worker([&] {
            // Row by row, so every row below the last one is complete.
            for (int r = 0; r < kRows; ++r) {
                for (int c = 0; c < kCols; ++c) {
                    data.setData(r, c, text(r, c));
                }
            }
            done = true;
        });
        // Row 0 is complete once row 1 exists; every growth moves it.
        int badReads = 0;
        while (!done) {
            if (data.rowCount() > 1) {
                badReads += data.getRow(0) != first;
                badReads += data.getData(0, kCols - 1) != first.back();
            }
        }
        worker.join();
        ASSERT_EQ(badReads, 0) << "round " << round;
        ASSERT_EQ(data.rowCount(), kRows);
        ASSERT_EQ(data.getData(kRows - 1, kCols - 1), text(kRows - 1, kCols - 1));
    }
}

}  // namespace
