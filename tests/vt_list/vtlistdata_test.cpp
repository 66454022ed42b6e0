#include "vtlistdata.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {

using Row = TVTListData::Row;

TEST(VTListData, ReadsNeverCreateAndNegativeNumbersNameNoCell) {
    TVTListData data;
    EXPECT_EQ(data.getData(5, 3), "");
    EXPECT_FALSE(data.rowExists(0));
    EXPECT_FALSE(data.columnExists(0, 0));
    EXPECT_FALSE(data.getRow(0).has_value());
    data.setData(-1, 0, "a");
    data.setData(0, -1, "a");
    data.createRow(-1);
    EXPECT_TRUE(data.createColumn(-1, 0).empty());
    EXPECT_TRUE(data.createColumn(0, -1).empty());
    EXPECT_EQ(data.rowCount(), 0);

    data.setData(0, 0, "a");
    EXPECT_EQ(data.getData(-1, 0), "");
    EXPECT_EQ(data.getData(0, -1), "");
    EXPECT_FALSE(data.rowExists(-1));
    EXPECT_FALSE(data.columnExists(0, -1));
    EXPECT_FALSE(data.getRow(-1).has_value());
}

TEST(VTListData, WritesCreateOnlyWhatTheyNeedAndNeverShrink) {
    TVTListData data;
    data.setData(2, 4, "wide");
    EXPECT_EQ(data.rowCount(), 3);
    EXPECT_TRUE(data.getRow(1)->empty());
    EXPECT_TRUE(data.columnExists(2, 4));
    EXPECT_FALSE(data.columnExists(2, 5));

    data.setData(2, 1, "b");
    data.setData(0, 0, "x");
    data.setData(2, 4, "again");
    data.setData(1, 2, "");
    data.setData(0, 2, "y");
    data.createRow(1);  // exists already: nothing changes
    EXPECT_EQ(data.rowCount(), 3);
    EXPECT_EQ(data.getRow(0), (Row{"x", "", "y"}));
    EXPECT_EQ(data.getRow(1), (Row{"", "", ""}));
    // An existing cell is left as it is; the copy shows the row as created.
    EXPECT_EQ(data.createColumn(2, 0), (Row{"", "b", "", "", "again"}));
    EXPECT_EQ(data.createColumn(4, 1), (Row{"", ""}));
    EXPECT_EQ(data.rowCount(), 5);
    EXPECT_TRUE(data.getRow(3)->empty());
}

TEST(VTListData, CopiesHandedOutAreTheCallersOwnAndKeepEveryByte) {
    TVTListData data;
    std::string all;
    for (int b = 0; b < 256; ++b) {
        all.push_back(static_cast<char>(b));
    }
    data.setData(0, 1, all);
    Row row = *data.getRow(0);
    row[1] = "changed";
    row.push_back("more");
    data.createColumn(0, 1)[0] = "changed too";
    EXPECT_EQ(data.getRow(0), (Row{"", all}));
}

// A provider grows and fills a table on the worker thread while the grid paints it on the GUI
// thread. Growing the table moves its rows in memory; a reader that is not locked out then sees
// moved-from (empty) or freed strings in rows that were complete before it looked. Such a
// reader is caught now and then in a plain build and every time by ThreadSanitizer.
TEST(VTListData, WorkerWritesWhileAnotherThreadReads) {
    constexpr int kRows = 1000;
    constexpr int kCols = 8;
    std::vector<Row> expected(kRows);
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kCols; ++c) {
            expected[r].push_back("cell " + std::to_string(r) + "/" + std::to_string(c));
        }
    }

    for (int round = 0; round < 20; ++round) {
        TVTListData data;
        std::atomic<bool> done{false};
        std::thread worker([&] {
            // Row by row, so every row below the last one is complete.
            for (int r = 0; r < kRows; ++r) {
                for (int c = 0; c < kCols; ++c) {
                    data.setData(r, c, expected[r][c]);
                }
            }
            done = true;
        });

        // Row 0 is complete once row 1 exists; every growth moves it.
        int badReads = 0;
        while (!done) {
            if (data.rowCount() > 1) {
                badReads += data.getRow(0) != expected[0];
                badReads += data.getData(0, kCols - 1) != expected[0].back();
                badReads += !data.columnExists(0, kCols - 1);
            }
        }
        worker.join();

        ASSERT_EQ(badReads, 0) << "round " << round;
        ASSERT_EQ(data.rowCount(), kRows);
        for (int r = 0; r < kRows; ++r) {
            ASSERT_EQ(data.getRow(r), expected[r]);
        }
    }
}

}  // namespace
