#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "vtlistdata.h"

namespace {

using Row = TVTListData::Row;

TEST(VTListData, EmptyStoreAnswersEmpty) {
    TVTListData data;
    EXPECT_EQ(data.getData(5, 3), "");
    EXPECT_EQ(data.getData(0, 0), "");
    EXPECT_FALSE(data.rowExists(0));
    EXPECT_FALSE(data.columnExists(0, 0));
    EXPECT_FALSE(data.getRow(0).has_value());
    EXPECT_EQ(data.rowCount(), 0);
    // Reading never creates anything.
    EXPECT_EQ(data.rowCount(), 0);
}

TEST(VTListData, SetDataCreatesOnlyWhatItNeeds) {
    TVTListData data;
    data.setData(5, 3, "a");
    EXPECT_EQ(data.rowCount(), 6);
    for (int r = 0; r < 5; ++r) {
        ASSERT_TRUE(data.getRow(r).has_value()) << r;
        EXPECT_TRUE(data.getRow(r)->empty()) << r;
        EXPECT_FALSE(data.columnExists(r, 0)) << r;
    }
    EXPECT_EQ(data.getRow(5), (Row{"", "", "", "a"}));
    EXPECT_TRUE(data.columnExists(5, 3));
    EXPECT_FALSE(data.columnExists(5, 4));
    EXPECT_FALSE(data.rowExists(6));
    EXPECT_EQ(data.getData(5, 3), "a");
    EXPECT_EQ(data.getData(5, 4), "");
}

TEST(VTListData, WritesNeverShrinkOrDisturbOtherCells) {
    struct Step {
        int row;
        int col;
        std::string text;
    };
    TVTListData data;
    const std::vector<Step> steps{{2, 4, "wide"},  {2, 1, "b"}, {0, 0, "x"},
                                  {2, 4, "again"}, {1, 2, ""},  {0, 2, "y"}};
    for (const Step& s : steps) {
        data.setData(s.row, s.col, s.text);
    }
    EXPECT_EQ(data.getRow(0), (Row{"x", "", "y"}));
    EXPECT_EQ(data.getRow(1), (Row{"", "", ""}));
    EXPECT_EQ(data.getRow(2), (Row{"", "b", "", "", "again"}));

    data.createRow(1);  // exists already: nothing changes
    data.createRow(0);
    EXPECT_EQ(data.rowCount(), 3);
    EXPECT_EQ(data.getRow(2), (Row{"", "b", "", "", "again"}));

    data.createRow(4);
    EXPECT_EQ(data.rowCount(), 5);
    EXPECT_TRUE(data.getRow(4)->empty());
}

TEST(VTListData, CreateColumnReturnsTheRowAsCreated) {
    TVTListData data;
    EXPECT_EQ(data.createColumn(1, 2), (Row{"", "", ""}));
    EXPECT_EQ(data.rowCount(), 2);
    EXPECT_TRUE(data.getRow(0)->empty());

    data.setData(1, 1, "kept");
    // An existing cell is left as it is.
    EXPECT_EQ(data.createColumn(1, 0), (Row{"", "kept", ""}));
    EXPECT_EQ(data.createColumn(1, 3), (Row{"", "kept", "", ""}));
}

TEST(VTListData, CopiesHandedOutAreTheCallersOwn) {
    TVTListData data;
    data.setData(0, 1, "unit");
    Row row = *data.getRow(0);
    row[1] = "changed";
    row.push_back("more");
    Row created = data.createColumn(0, 1);
    created[0] = "changed too";
    EXPECT_EQ(data.getRow(0), (Row{"", "unit"}));
}

TEST(VTListData, NegativeNumbersNameNoCell) {
    TVTListData data;
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
    EXPECT_FALSE(data.columnExists(-1, 0));
    EXPECT_FALSE(data.getRow(-1).has_value());
}

TEST(VTListData, KeepsEveryByte) {
    TVTListData data;
    std::string all;
    for (int b = 0; b < 256; ++b) {
        all.push_back(static_cast<char>(b));
    }
    data.setData(0, 0, all);
    EXPECT_EQ(data.getData(0, 0), all);
}

// A provider grows and fills a table on the worker thread while the grid paints it on the GUI
// thread. Growing the table moves its rows in memory; a reader that is not locked out then sees
// moved-from (empty) or freed strings in rows that were complete before it looked. ThreadSanitizer
// reports the same race directly.
TEST(VTListData, WorkerWritesWhileAnotherThreadReads) {
    constexpr int kRounds = 20;
    constexpr int kRows = 1000;
    constexpr int kCols = 8;
    const auto cellText = [](int r, int c) {
        return "cell " + std::to_string(r) + "/" + std::to_string(c) + " with some length";
    };

    for (int round = 0; round < kRounds; ++round) {
        TVTListData data;
        std::atomic<bool> done{false};
        std::thread worker([&] {
            // Row by row, so every row below the last one is complete.
            for (int r = 0; r < kRows; ++r) {
                for (int c = 0; c < kCols; ++c) {
                    data.setData(r, c, cellText(r, c));
                }
            }
            done = true;
        });

        int badReads = 0;
        while (!done) {
            const int complete = data.rowCount() - 1;
            for (int r = std::max(0, complete - 3); r < complete; ++r) {
                for (int c = 0; c < kCols; ++c) {
                    if (data.getData(r, c) != cellText(r, c)) {
                        ++badReads;
                    }
                }
                const auto row = data.getRow(r);
                if (!row || *row != TVTListData::Row{cellText(r, 0), cellText(r, 1), cellText(r, 2),
                                                     cellText(r, 3), cellText(r, 4), cellText(r, 5),
                                                     cellText(r, 6), cellText(r, 7)}) {
                    ++badReads;
                }
                if (!data.columnExists(r, kCols - 1)) {
                    ++badReads;
                }
            }
        }
        worker.join();

        ASSERT_EQ(badReads, 0) << "round " << round;
        ASSERT_EQ(data.rowCount(), kRows);
        for (int r = 0; r < kRows; ++r) {
            for (int c = 0; c < kCols; ++c) {
                ASSERT_EQ(data.getData(r, c), cellText(r, c));
            }
        }
    }
}

}  // namespace
