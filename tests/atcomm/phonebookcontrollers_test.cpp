#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "atcomm/controllerdeletephonebook.h"
#include "atcomm/controllerdeletesms.h"
#include "atcomm/controllerreadphonebook.h"
#include "atcomm/controllerwritephonebook.h"
#include "atcommtest.h"

namespace {

std::string Write(int position) {
    return "AT+CPBW=" + std::to_string(position) + ",\"+46" + std::to_string(position) +
           "\",145,\"ACCESS\"";
}

// A read gives every position of the collector an entry, empty where the module lists none,
// or, when it gives up, leaves the collector as it was.
TEST(PhoneBookControllersTest, RangeReadFillsEveryPositionOfTheCollector) {
    // Position 0 is unreadable; position 150 lies outside the range asked for and is dropped.
    const std::string unreadable =
        "\r\n+CPBR: 0,\"+460\",145,\"A\"\r\n+CPBR: 4,\"+464\",145,\"A\"\r\n"
        "+CPBR: 150,\"+46150\",145,\"A\"\r\n\r\nOK\r\n";
    CUnitState stored = UnitFixture::ConfiguredState();
    stored.phonebooks["SM"].entries = {
        {3, {"+46701", 145, "ACCESS"}}, {5, {"", 129, "NAME"}}, {70, {"+46702", 145, "ACCESS"}}};
    struct Case {
        const char* name;
        CUnitSimulatorOptions options;
        bool ok;
        std::map<int32_t, std::string> numbers;  // the non-empty positions afterwards
        std::size_t reads = 1;
    };
    const std::vector<Case> cases = {
        {"empty store", WithFaults({}), true, {}},
        {"positions 3 and 70 only, an error reply read again",
         WithFaults({Fault("AT+CPBR", Action::Error)}, stored),
         true,
         {{3, "+46701"}, {70, "+46702"}},
         2},
        {"unreadable position",
         WithFaults({Fault("AT+CPBR", Action::Reply, false, unreadable)}),
         false,
         {{4, "+464"}}},
        {"silence", WithFaults({Fault("AT+CPBR", Action::Ignore, true)}), false, {{5, "stale"}}, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto collector = MakeRef<PhoneBookCollectorDouble>(100);
        collector->SetEntry(5, "stale", "stale");
        UnitFixture fixture(c.options);
        EXPECT_EQ(RunShort(fixture, MakeRef<CControllerReadPhoneBook>(collector.get())),
                  Outcome(c.ok));
        EXPECT_EQ(fixture.Commands(), Strings(c.reads, "AT+CPBR=1,100"));
        std::map<int32_t, std::pair<std::string, std::string>> expected;
        for (int32_t position = 1; position <= 100 && c.reads < 4; ++position) {
            expected[position] = {};
        }
        for (const auto& [position, number] : c.numbers) {
            expected[position] = {number, number};  // both number forms agree
        }
        EXPECT_EQ(collector->entries, expected);
    }
}

// The controllers on the shared write/delete pattern (the SMS delete too): a command that fails
// is sent again unchanged before the next item; the fourth failed try in a row ends the
// controller, and what was done before stays done.
TEST(ItemWriterTest, RepeatsAFailedCommandUnchangedAndEndsAtTheFourthTry) {
    struct Case {
        const char* name;
        std::size_t writer;
        std::function<std::string(int item)> command;
        bool once;      // item 2 fails once, else for ever (error replies)
        Action action;  // how it fails once
    };
    const auto erase = [](const std::string& verb) {
        return [verb](int item) { return verb + std::to_string(item); };
    };
    const std::vector<Case> cases = {
        // The command was carried out; sending it again does no harm.
        {"phonebook write", 0, Write, true, Action::LoseReply},
        {"phonebook write", 0, Write, false, Action::Error},
        {"phonebook delete", 1, erase("AT+CPBW="), true, Action::Error},
        {"SMS delete", 2, erase("AT+CMGD="), false, Action::Error},
    };
    // Items 1 to 5 in both stores; each controller is offered items 1 to 4.
    const CPhonebookEntry old = {"+4600", 145, "OLD"};
    CUnitState before = UnitFixture::ConfiguredState();
    for (int item = 1; item <= 5; ++item) {
        before.phonebooks["SM"].entries[item] = old;
        before.messages[item].text = "x";
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + (c.once ? ", fails once" : ", fails for ever"));
        const std::string second = c.command(2);
        UnitFixture fixture(WithFaults({Fault(second, c.action, !c.once)}, before));
        auto provider = MakeRef<PhoneBookProviderDouble>(4);
        auto positions = MakeRef<PhoneBookDeleteDouble>(4);
        auto indexes = MakeRef<SmsDeleteDouble>(4);
        const std::vector<CRefPtr<CControllerItemWriter>> writers = {
            MakeRef<CControllerWritePhoneBook>(provider.get()),
            MakeRef<CControllerDeletePhoneBook>(positions.get()),
            MakeRef<CControllerDeleteSms>(indexes.get())};
        EXPECT_EQ(RunShort(fixture, writers[c.writer]), Outcome(c.once));
        EXPECT_EQ(fixture.Commands(),
                  c.once ? (Strings{c.command(1), second, second, c.command(3), c.command(4)})
                         : (Strings{c.command(1), second, second, second, second}));
        const CUnitState after = fixture.Unit().State();
        for (int item = 1; item <= 5; ++item) {
            const auto& entries = after.phonebooks.at("SM").entries;
            const bool changed = entries.count(item) == 0 || entries.at(item) != old ||
                                 after.messages.count(item) == 0;
            EXPECT_EQ(changed, item == 1 || (c.once && item <= 4)) << "item " << item;
        }
    }
}

}  // namespace
