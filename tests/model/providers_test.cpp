#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "model/phonebookproviders.h"
#include "model/smsproviders.h"
#include "modeltestutil.h"

namespace {

using Positions = std::vector<int32_t>;
using Strings = std::vector<std::string>;

TEST(PhoneBookProviders, WriteOffersTheMarkedPositionsUpToLastWithTheirTypes) {
    TVTListData table;
    CPhoneBookDataProvider provider{&table, 1, 2, 3};
    for (int32_t position : {3, 65, 250}) {
        table.setData(position - 1, 3, "X");
        table.setData(position - 1, 2, "+46" + std::to_string(position));
    }
    const Strings all{"3=+463", "65=+4665", "250=+46250"};
    for (const auto& [last, expected] :
         std::vector<std::pair<int32_t, Strings>>{{250, all}, {100, {all[0], all[1]}}, {0, {}}}) {
        SCOPED_TRACE(last);
        provider.SetLast(last);
        EXPECT_EQ(Offered(provider), expected);
    }
    // The position found stays current until it is taken.
    provider.SetLast(250);
    provider.Reset();
    ASSERT_TRUE(provider.HasMore());
    ASSERT_TRUE(provider.HasMore());
    EXPECT_EQ(provider.NextPosition(), 3);
    ASSERT_TRUE(provider.HasMore());
    EXPECT_EQ(provider.Current(), 65);

    // Setting entries carry no name and the unknown number type.
    for (int32_t position : {1, 57, 58, 64, 69, 70}) {
        const bool setting = position >= 58 && position <= 69;
        EXPECT_EQ(provider.GetText(position), setting ? "" : "ACCESS") << position;
        EXPECT_EQ(provider.GetType(position), setting ? "129" : "145") << position;
    }
}

TEST(PhoneBookProviders, CollectorFillsOnlyRowsWithinTheRangeAndDeleteOffersEveryPosition) {
    TVTListData table;
    CPhoneBookDataCollector collector{&table, 1};
    // Nothing is read before the size is known.
    collector.SetEntry(1, "+1", "+1");
    EXPECT_FALSE(table.rowExists(0));

    collector.SetLast(100);
    collector.Reset();
    EXPECT_EQ(collector.NextPosition(), 1);
    EXPECT_FALSE(collector.HasMore());
    collector.SetEntry(3, "+4670", "+4671");
    collector.SetEntry(100, "9", "9");
    // Positions outside the range name no row the read asked for.
    for (int32_t position : {0, -5, 101, 250}) {
        collector.SetEntry(position, "junk", "junk");
    }
    EXPECT_EQ(table.getData(2, 1), "+4671");
    EXPECT_EQ(table.getData(99, 1), "9");
    EXPECT_EQ(table.getData(0, 1), "");
    EXPECT_EQ(table.rowCount(), 100);

    CPhoneBookDeleteProvider deleter{&table};
    deleter.SetLast(3);
    deleter.Reset();
    Positions positions;
    while (deleter.HasMore()) {
        positions.push_back(deleter.NextPosition());
    }
    EXPECT_EQ(positions, (Positions{1, 2, 3}));
}

class SmsProvidersTest : public ::testing::Test {
protected:
    // A table with more rows than the unit has alarm messages.
    SmsProvidersTest() { table.setData(39, 7, ""); }

    TVTListData table;
    CSmsDataCollector collector{&table, 2, 1};
};

TEST_F(SmsProvidersTest, CollectorStoresByIndexIntoTheTwentyEightRowsOnly) {
    EXPECT_THROW(CSmsDataCollector(nullptr, 2, 1), std::invalid_argument);
    collector.SetMessage(28, "+4628", "Power fail");
    collector.SetMessage(1, "+461", "One");
    // Indexes outside 1 to 28 belong to no alarm message, even where the table has a row.
    for (int32_t index : {0, -1, 29, 40}) {
        collector.SetMessage(index, "junk", "junk");
    }
    EXPECT_EQ(table.getData(27, 2), "+4628");
    EXPECT_EQ(table.getData(27, 1), "Power fail");
    EXPECT_EQ(table.getData(0, 1), "One");
    for (int32_t row : {28, 39}) {
        EXPECT_EQ(table.getData(row, 1) + table.getData(row, 2), "");
    }

    // A pending message lands on the row of the index last taken.
    collector.SetPendingMessage("+1", "first");
    EXPECT_EQ(collector.NextIndex(), 1);
    collector.SetPendingMessage("+2", "second");
    EXPECT_EQ(collector.NextIndex(), 2);
    collector.SetPendingMessage("+3", "third");
    EXPECT_EQ(table.getData(0, 1), "second");
    EXPECT_EQ(table.getData(1, 1), "third");
    int32_t count = 2;
    while (collector.HasMore()) {
        EXPECT_EQ(collector.NextIndex(), ++count);
    }
    EXPECT_EQ(count, 28);
    // Past the last message the pending row is no alarm message.
    collector.SetPendingMessage("+x", "beyond");
    collector.SetPendingMessage("+y", "beyond");
    EXPECT_EQ(table.getData(28, 1), "");
}

TEST_F(SmsProvidersTest, ProviderSuppliesWhatEachRowShouldHoldAfterTheWrite) {
    const std::vector<std::tuple<int32_t, int32_t, std::string>> cells{
        {0, 1, "Current zero"}, {0, 2, "+460"}, {1, 1, "Current one"},
        {1, 4, "New one"},      {2, 2, "+462"}, {2, 5, "+4622"},
        {5, 1, "Current five"}, {5, 2, "+465"}, {5, 4, "New five"},
        {5, 5, "+4655"},        {5, 7, "X"},    {30, 4, "Not alarm"}};
    for (const auto& [row, column, text] : cells) {
        table.setData(row, column, text);
    }
    CSmsDataProvider provider{&table, 5, 4, 7, 2, 1};
    std::vector<std::pair<std::string, std::string>> supplied;
    provider.Reset();
    while (provider.HasMore()) {
        EXPECT_EQ(provider.Current(), static_cast<int32_t>(supplied.size()) + 1);
        supplied.emplace_back(provider.GetNumber(), provider.GetText());
        provider.Next();
    }
    using P = std::pair<std::string, std::string>;
    ASSERT_EQ(supplied.size(), 28u);
    EXPECT_EQ(supplied[0], (P{"+460", "Current zero"}));
    EXPECT_EQ(supplied[1], (P{"", "New one"}));
    EXPECT_EQ(supplied[2], (P{"+4622", ""}));
    // Marked for deletion: an empty message, whatever was typed.
    EXPECT_EQ(supplied[5], (P{"", ""}));
    EXPECT_EQ(supplied[27], (P{"", ""}));

    CSmsDeleteProvider deleter{&table};
    Positions indexes;
    while (deleter.HasMore()) {
        indexes.push_back(deleter.NextIndex());
    }
    EXPECT_EQ(indexes.size(), 28u);
    EXPECT_EQ(indexes.back(), 28);
}

}  // namespace
