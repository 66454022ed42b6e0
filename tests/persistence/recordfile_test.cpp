#include "persistence/recordfile.h"

#include <set>
#include <stdexcept>
#include <thread>
#include <vector>

#include "core/tempfolder.h"

namespace {

using Strings = std::vector<std::string>;

class RecordFileTest : public TempFolderTest {};

// The header once, after the byte order mark; every field as RFC 4180 wants it; text a
// spreadsheet would run as a formula defused.
TEST_F(RecordFileTest, StartsWithTheHeaderAndQuotesWhatNeedsIt) {
    CRecordFile file(PathOf("records.csv"));
    file.Append({"Time", "Failure"}, {"2024-05-01T12:00:00+02:00", "plain"});
    file.Append({"Time", "Failure"}, {"a,b", "say \"hi\"\nnow", "=cmd|' /C calc'!A0", "-1", ""});
    EXPECT_EQ(Contents(PathOf("records.csv")),
              "\xEF\xBB\xBFTime,Failure\r\n"
              "2024-05-01T12:00:00+02:00,plain\r\n"
              "\"a,b\",\"say \"\"hi\"\"\nnow\",'=cmd|' /C calc'!A0,'-1,\r\n");
}

// Units served at once append to one file: every row arrives whole, none lost, the header
// once. A path that cannot be written throws, naming the file.
TEST_F(RecordFileTest, RowsFromManyThreadsArriveWholeAndAFailureIsReported) {
    constexpr int kThreads = 8;
    constexpr int kRows = 100;
    CRecordFile file(PathOf("records.csv"));
    const std::string padding(300, 'x');
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            // Each thread its own object too, as the window and the command line have.
            CRecordFile own(PathOf("records.csv"));
            for (int r = 0; r < kRows; ++r) {
                (r % 2 == 0 ? file : own)
                    .Append({"Unit", "Row", "Padding"},
                            {std::to_string(t), std::to_string(r), padding});
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    std::string text = Contents(PathOf("records.csv"));
    ASSERT_EQ(text.rfind("\xEF\xBB\xBFUnit,Row,Padding\r\n", 0), 0u);
    text.erase(0, 3 + 19);
    std::set<std::string> rows;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find("\r\n", at);
        ASSERT_NE(end, std::string::npos);
        const std::string row = text.substr(at, end - at);
        EXPECT_TRUE(row.ends_with("," + padding)) << row;
        rows.insert(row);
        at = end + 2;
    }
    EXPECT_EQ(rows.size(), static_cast<std::size_t>(kThreads * kRows));

    // A folder where the file should be: not even root can write it.
    std::filesystem::create_directory(PathOf("folder.csv"));
    CRecordFile blocked(PathOf("folder.csv"));
    try {
        blocked.Append({"A"}, {"1"});
        ADD_FAILURE() << "no exception";
    } catch (const std::runtime_error& error) {
        EXPECT_EQ(std::string(error.what()).rfind(PathOf("folder.csv") + ": ", 0), 0u)
            << error.what();
    }
}

}  // namespace
