#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "atcomm/controllerdeletephonebook.h"
#include "atcomm/controllerreadphonebook.h"
#include "atcomm/controllerwritephonebook.h"
#include "controllerprobe.h"
#include "datadoubles.h"
#include "support/unitfixture.h"

namespace {

using Action = CCommandFault::Action;
using Strings = std::vector<std::string>;

// Failure paths use this instead of the production time-outs, so an error reply costs little.
constexpr uint32_t kShortTimeoutMs = 250;

CCommandFault Fault(const std::string& pattern, Action action, int nth = 1,
                    bool andFollowing = false) {
    CCommandFault fault;
    fault.pattern = pattern;
    fault.action = action;
    fault.nth = nth;
    fault.andFollowing = andFollowing;
    return fault;
}

CUnitState UnitWithSimEntries(const std::map<int, CPhonebookEntry>& entries) {
    CUnitState state = UnitFixture::ConfiguredState();
    state.phonebooks["SM"].entries = entries;
    return state;
}

std::map<int, CPhonebookEntry> SimEntries(UnitFixture& fixture) {
    return fixture.Unit().State().phonebooks.at("SM").entries;
}

struct ReadCase {
    const char* name;
    std::map<int, CPhonebookEntry> stored;
    // Positions the collector must hold non-empty afterwards, with both number forms.
    std::map<int32_t, std::string> expected;
};

TEST(PhoneBookControllersTest, RangeReadFillsEveryPositionOfTheCollector) {
    const std::vector<ReadCase> cases = {
        {"positions 3 and 70 only",
         {{3, {"+46701", 145, "ACCESS"}}, {70, {"+46702", 145, "ACCESS"}}},
         {{3, "+46701"}, {70, "+46702"}}},
        {"empty store", {}, {}},
        {"empty number field", {{5, {"", 129, "NAME"}}, {64, {"1", 129, ""}}}, {{64, "1"}}},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.name);
        auto collector = MakeRef<PhoneBookCollectorDouble>(100);
        // Whatever the collector held before is replaced.
        collector->SetEntry(5, "stale", "stale");
        UnitFixture fixture(UnitWithSimEntries(c.stored));
        auto controller = MakeRef<CControllerReadPhoneBook>(collector.get());
        ControllerProbe probe;
        probe.Watch(*controller);

        ASSERT_TRUE(fixture.RunToFinish(controller));

        EXPECT_EQ(controller->GetResult(), IController::resultOk);
        EXPECT_EQ(fixture.Commands(), Strings{"AT+CPBR=1,100"});
        ASSERT_EQ(collector->entries.size(), 100u);
        for (const auto& [position, entry] : collector->entries) {
            const auto found = c.expected.find(position);
            const std::string number = found == c.expected.end() ? "" : found->second;
            EXPECT_EQ(entry.first, number) << "position " << position;
            EXPECT_EQ(entry.second, number) << "position " << position;
        }
        EXPECT_EQ(probe.keys, Strings{"CONTROLLER_READ_PHONEBOOK_DESCRIPTION"});
        EXPECT_EQ(probe.defaultDescriptions, Strings{""});
        ASSERT_FALSE(probe.progress.empty());
        EXPECT_EQ(probe.progress[0].name, "CControllerReadPhoneBook");
        EXPECT_EQ(probe.progress[0].maximum, 100);
    }
}

TEST(PhoneBookControllersTest, RangeReadWithAnUnreadablePositionFailsAfterTheOtherLines) {
    auto collector = MakeRef<PhoneBookCollectorDouble>(100);
    UnitFixture fixture;
    CCommandFault listing = Fault("AT+CPBR", Action::Reply);
    // Position 0 is unreadable; position 150 lies outside the range asked for and is dropped.
    listing.text =
        "\r\n+CPBR: 0,\"+460\",145,\"ACCESS\"\r\n+CPBR: 4,\"+464\",145,\"ACCESS\"\r\n"
        "+CPBR: 150,\"+46150\",145,\"ACCESS\"\r\n\r\nOK\r\n";
    fixture.Unit().AddFault(listing);
    auto controller = MakeRef<CControllerReadPhoneBook>(collector.get());

    ASSERT_TRUE(fixture.RunToFinish(controller));

    EXPECT_EQ(controller->GetResult(), IController::resultFailed);
    EXPECT_EQ(collector->entries.size(), 100u);
    EXPECT_EQ(collector->entries[4].first, "+464");
    EXPECT_EQ(collector->entries.count(0), 0u);
    EXPECT_EQ(collector->entries.count(150), 0u);
}

TEST(PhoneBookControllersTest, RangeReadRepeatsAFailedReadAndGivesUpAfterFour) {
    {
        auto collector = MakeRef<PhoneBookCollectorDouble>(80);
        UnitFixture fixture(UnitWithSimEntries({{7, {"+467", 145, "ACCESS"}}}));
        fixture.Unit().AddFault(Fault("AT+CPBR", Action::Error));
        auto controller = MakeRef<CControllerReadPhoneBook>(collector.get());
        controller->SetReplyTimeout(kShortTimeoutMs);

        ASSERT_TRUE(fixture.RunToFinish(controller));

        EXPECT_EQ(controller->GetResult(), IController::resultOk);
        EXPECT_EQ(fixture.Commands(), (Strings{"AT+CPBR=1,80", "AT+CPBR=1,80"}));
        EXPECT_EQ(collector->entries[7].first, "+467");
    }
    {
        auto collector = MakeRef<PhoneBookCollectorDouble>(80);
        UnitFixture fixture(UnitWithSimEntries({{7, {"+467", 145, "ACCESS"}}}));
        fixture.Unit().AddFault(Fault("AT+CPBR", Action::Ignore, 1, true));
        auto controller = MakeRef<CControllerReadPhoneBook>(collector.get());
        controller->SetReplyTimeout(kShortTimeoutMs);

        ASSERT_TRUE(fixture.RunToFinish(controller));

        EXPECT_EQ(controller->GetResult(), IController::resultFailed);
        EXPECT_EQ(fixture.Commands(), Strings(4, "AT+CPBR=1,80"));
        // A failed read leaves the collector as it was.
        EXPECT_EQ(collector->setCalls, 0);
    }
}

TEST(PhoneBookControllersTest, WriteSendsEachMarkedPositionInOrder) {
    auto provider = MakeRef<PhoneBookProviderDouble>(
        250, std::map<int32_t, std::string>{{3, "+46703"}, {65, "5"}, {250, "+46750"}});
    UnitFixture fixture(UnitWithSimEntries({{3, {"+46700", 145, "ACCESS"}}}));
    auto controller = MakeRef<CControllerWritePhoneBook>(provider.get());
    ControllerProbe probe;
    probe.Watch(*controller);

    ASSERT_TRUE(fixture.RunToFinish(controller));

    EXPECT_EQ(controller->GetResult(), IController::resultOk);
    EXPECT_EQ(fixture.Commands(),
              (Strings{"AT+CPBW=3,\"+46703\",145,\"ACCESS\"", "AT+CPBW=65,\"5\",129,\"\"",
                       "AT+CPBW=250,\"+46750\",145,\"ACCESS\""}));
    const auto entries = SimEntries(fixture);
    EXPECT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries.at(3), (CPhonebookEntry{"+46703", 145, "ACCESS"}));
    EXPECT_EQ(entries.at(65), (CPhonebookEntry{"5", 129, ""}));
    EXPECT_EQ(entries.at(250), (CPhonebookEntry{"+46750", 145, "ACCESS"}));
    EXPECT_EQ(probe.keys, Strings{"CONTROLLER_WRITE_PHONEBOOK_DESCRIPTION"});
    // A progress step before the first item and after each one.
    EXPECT_EQ(probe.Positions(), (std::vector<int32_t>{1, 4, 66, 251}));
    EXPECT_EQ(probe.progress.back().maximum, 250);
}

TEST(PhoneBookControllersTest, WriteRepeatsARefusedOrLostCommandUnchanged) {
    auto provider = MakeRef<PhoneBookProviderDouble>(
        100, std::map<int32_t, std::string>{{1, "+461"}, {2, "+462"}});
    UnitFixture fixture;
    // An error reply to the first, a lost reply to the last position: both are sent again
    // before anything else happens.
    fixture.Unit().AddFault(Fault("AT+CPBW=1,", Action::Error));
    fixture.Unit().AddFault(Fault("AT+CPBW=2,", Action::LoseReply));
    auto controller = MakeRef<CControllerWritePhoneBook>(provider.get());
    controller->SetReplyTimeout(kShortTimeoutMs);

    ASSERT_TRUE(fixture.RunToFinish(controller));

    EXPECT_EQ(controller->GetResult(), IController::resultOk);
    const std::string first = "AT+CPBW=1,\"+461\",145,\"ACCESS\"";
    const std::string second = "AT+CPBW=2,\"+462\",145,\"ACCESS\"";
    EXPECT_EQ(fixture.Commands(), (Strings{first, first, second, second}));
    EXPECT_EQ(SimEntries(fixture).size(), 2u);
}

TEST(PhoneBookControllersTest, WriteEndsAtTheFourthFailedTryInARow) {
    auto provider = MakeRef<PhoneBookProviderDouble>(
        100, std::map<int32_t, std::string>{{1, "+461"}, {2, "+462"}, {3, "+463"}});
    UnitFixture fixture;
    fixture.Unit().AddFault(Fault("AT+CPBW=2,", Action::Error, 1, true));
    auto controller = MakeRef<CControllerWritePhoneBook>(provider.get());
    controller->SetReplyTimeout(kShortTimeoutMs);

    ASSERT_TRUE(fixture.RunToFinish(controller));

    EXPECT_EQ(controller->GetResult(), IController::resultFailed);
    const std::string second = "AT+CPBW=2,\"+462\",145,\"ACCESS\"";
    EXPECT_EQ(fixture.Commands(),
              (Strings{"AT+CPBW=1,\"+461\",145,\"ACCESS\"", second, second, second, second}));
    // The positions written before the refused one stay written.
    const auto entries = SimEntries(fixture);
    EXPECT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries.count(1), 1u);
}

TEST(PhoneBookControllersTest, NothingToWriteOrDeleteFinishesWithoutACommand) {
    auto provider = MakeRef<PhoneBookProviderDouble>(250, std::map<int32_t, std::string>{});
    auto positions = MakeRef<PhoneBookDeleteDouble>(0);
    UnitFixture fixture;
    auto write = MakeRef<CControllerWritePhoneBook>(provider.get());
    auto erase = MakeRef<CControllerDeletePhoneBook>(positions.get());
    fixture.Queue(write);
    fixture.Queue(erase);

    ASSERT_TRUE(fixture.RunQueued());

    EXPECT_EQ(write->GetResult(), IController::resultOk);
    EXPECT_EQ(erase->GetResult(), IController::resultOk);
    EXPECT_TRUE(fixture.Commands().empty());
}

TEST(PhoneBookControllersTest, DeleteEmptiesEveryOfferedPosition) {
    auto positions = MakeRef<PhoneBookDeleteDouble>(4);
    UnitFixture fixture(UnitWithSimEntries(
        {{2, {"+462", 145, "ACCESS"}}, {4, {"+464", 145, "ACCESS"}}, {5, {"+465", 145, "X"}}}));
    fixture.Unit().AddFault(Fault("AT+CPBW=3", Action::Error));
    auto controller = MakeRef<CControllerDeletePhoneBook>(positions.get());
    controller->SetReplyTimeout(kShortTimeoutMs);
    ControllerProbe probe;
    probe.Watch(*controller);

    ASSERT_TRUE(fixture.RunToFinish(controller));

    EXPECT_EQ(controller->GetResult(), IController::resultOk);
    EXPECT_EQ(fixture.Commands(),
              (Strings{"AT+CPBW=1", "AT+CPBW=2", "AT+CPBW=3", "AT+CPBW=3", "AT+CPBW=4"}));
    const auto entries = SimEntries(fixture);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries.count(5), 1u);
    EXPECT_EQ(probe.keys, Strings{"CONTROLLER_DELETE_PHONEBOOK_DESCRIPTION"});
    EXPECT_EQ(probe.progress.back().maximum, 4);
}

}  // namespace
