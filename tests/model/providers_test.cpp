#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "model/phonebookproviders.h"
#include "model/smsproviders.h"
#include "model/unitlayout.h"
#include "modeltestutil.h"

namespace {

using L = CUnitLayout;
using Positions = std::vector<int32_t>;
using Strings = std::vector<std::string>;

// --- Phonebook ------------------------------------------------------------------------------

class PhoneBookProvidersTest : public ::testing::Test {
protected:
    TVTListData table;
    CPhoneBookDataCollector collector{&table, 1};
    CPhoneBookDataProvider provider{&table, 1, 2, 3};
    CPhoneBookDeleteProvider deleter{&table};
};

TEST_F(PhoneBookProvidersTest, WriteOffersExactlyTheMarkedPositionsUpToLast) {
    for (int32_t position : {3, 65, 250}) {
        table.setData(position - 1, 3, "X");
        table.setData(position - 1, 2, "+46" + std::to_string(position));
    }
    struct Case {
        int32_t last;
        Positions expected;
    };
    for (const Case& c : {Case{250, {3, 65, 250}}, Case{100, {3, 65}}, Case{0, {}}}) {
        SCOPED_TRACE(c.last);
        provider.SetLast(c.last);
        provider.Reset();
        EXPECT_EQ(OfferedPositions(provider), c.expected);
    }

    // The position found stays current until it is taken.
    provider.SetLast(250);
    provider.Reset();
    ASSERT_TRUE(provider.HasMore());
    EXPECT_EQ(provider.Current(), 3);
    ASSERT_TRUE(provider.HasMore());
    EXPECT_EQ(provider.NextPosition(), 3);
    EXPECT_EQ(provider.GetNumber(3), "+463");
    ASSERT_TRUE(provider.HasMore());
    EXPECT_EQ(provider.Current(), 65);
}

TEST_F(PhoneBookProvidersTest, SettingEntriesGetNoNameAndTheUnknownNumberType) {
    struct Case {
        int32_t position;
        const char* text;
        const char* type;
    };
    for (const Case& c :
         {Case{57, "ACCESS", "145"}, Case{58, "", "129"}, Case{64, "", "129"}, Case{69, "", "129"},
          Case{70, "ACCESS", "145"}, Case{1, "ACCESS", "145"}}) {
        SCOPED_TRACE(c.position);
        EXPECT_EQ(provider.GetText(c.position), c.text);
        EXPECT_EQ(provider.GetType(c.position), c.type);
    }
}

TEST_F(PhoneBookProvidersTest, CollectorFillsItsColumnWithinTheRange) {
    // Nothing is read before the size is known.
    EXPECT_EQ(collector.Last(), 0);
    collector.SetEntry(1, "+1", "+1");
    EXPECT_FALSE(table.rowExists(0));

    collector.SetLast(100);
    collector.Reset();
    EXPECT_EQ(collector.First(), 1);
    EXPECT_TRUE(collector.HasMore());
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
    EXPECT_EQ(table.rowCount(), 100);
    EXPECT_EQ(table.getData(0, 1), "");

    collector.Reset();
    EXPECT_TRUE(collector.HasMore());
    EXPECT_EQ(collector.Last(), 100);
}

TEST_F(PhoneBookProvidersTest, DeleteOffersEveryPositionWhateverTheTableHolds) {
    deleter.SetLast(3);
    deleter.Reset();
    Positions positions;
    while (deleter.HasMore()) {
        positions.push_back(deleter.NextPosition());
    }
    EXPECT_EQ(positions, (Positions{1, 2, 3}));
    deleter.Reset();
    EXPECT_EQ(deleter.Current(), 1);
    EXPECT_TRUE(deleter.HasMore());
}

// --- SMS ------------------------------------------------------------------------------------

class SmsProvidersTest : public ::testing::Test {
protected:
    SmsProvidersTest() {
        // A table with more rows than the unit has alarm messages.
        table.setData(39, 7, "");
    }

    // (number, text) of every message the provider supplies, in index order.
    std::vector<std::pair<std::string, std::string>> Supplied() {
        std::vector<std::pair<std::string, std::string>> supplied;
        provider.Reset();
        while (provider.HasMore()) {
            EXPECT_EQ(provider.Current(), static_cast<int32_t>(supplied.size()) + 1);
            supplied.emplace_back(provider.GetNumber(), provider.GetText());
            provider.Next();
        }
        return supplied;
    }

    TVTListData table;
    CSmsDataCollector collector{&table, 2, 1};
    CSmsDataProvider provider{&table, 5, 4, 7, 2, 1};
    CSmsDeleteProvider deleter{&table};
};

TEST_F(SmsProvidersTest, CollectorStoresByIndexIntoTheTwentyEightRows) {
    EXPECT_THROW(CSmsDataCollector(nullptr, 2, 1), std::invalid_argument);
    EXPECT_EQ(collector.Last(), 28);
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
        EXPECT_EQ(table.getData(row, 1), "");
        EXPECT_EQ(table.getData(row, 2), "");
    }

    int32_t count = 0;
    while (collector.HasMore()) {
        EXPECT_EQ(collector.NextIndex(), ++count);
    }
    EXPECT_EQ(count, 28);
}

TEST_F(SmsProvidersTest, CollectorPendingMessagesFollowTheReadCursor) {
    collector.SetPendingMessage("+1", "first");
    EXPECT_EQ(collector.NextIndex(), 1);
    collector.SetPendingMessage("+2", "second");
    EXPECT_EQ(collector.Current(), 2);
    EXPECT_EQ(collector.NextIndex(), 2);
    collector.SetPendingMessage("+3", "third");
    EXPECT_EQ(table.getData(0, 1), "second");
    EXPECT_EQ(table.getData(1, 1), "third");

    // Past the last message the pending row is no alarm message.
    while (collector.HasMore()) {
        collector.NextIndex();
    }
    collector.SetPendingMessage("+x", "beyond");
    collector.SetPendingMessage("+y", "beyond");
    EXPECT_EQ(table.getData(28, 1), "");

    collector.Reset();
    EXPECT_EQ(collector.Current(), 1);
    EXPECT_TRUE(collector.HasMore());
}

TEST_F(SmsProvidersTest, ProviderSuppliesWhatEachRowShouldHoldAfterTheWrite) {
    table.setData(0, 1, "Current zero");
    table.setData(0, 2, "+460");
    table.setData(1, 1, "Current one");
    table.setData(1, 4, "New one");
    table.setData(2, 2, "+462");
    table.setData(2, 5, "+4622");
    table.setData(5, 1, "Current five");
    table.setData(5, 2, "+465");
    table.setData(5, 4, "New five");
    table.setData(5, 5, "+4655");
    table.setData(5, 7, "X");
    table.setData(30, 4, "Not an alarm message");

    const auto supplied = Supplied();
    ASSERT_EQ(supplied.size(), 28u);
    EXPECT_EQ(supplied[0], (std::pair<std::string, std::string>{"+460", "Current zero"}));
    EXPECT_EQ(supplied[1], (std::pair<std::string, std::string>{"", "New one"}));
    EXPECT_EQ(supplied[2], (std::pair<std::string, std::string>{"+4622", ""}));
    // Marked for deletion: an empty message, whatever was typed.
    EXPECT_EQ(supplied[5], (std::pair<std::string, std::string>{"", ""}));
    EXPECT_EQ(supplied[27], (std::pair<std::string, std::string>{"", ""}));

    Positions indexes;
    while (deleter.HasMore()) {
        indexes.push_back(deleter.NextIndex());
    }
    EXPECT_EQ(indexes.size(), 28u);
    EXPECT_EQ(indexes.front(), 1);
    EXPECT_EQ(indexes.back(), 28);
    EXPECT_EQ(deleter.Last(), 28);
}

}  // namespace
