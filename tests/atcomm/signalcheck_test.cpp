#include "atcomm/controllersignalcheck.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <utility>
#include <vector>

#include "core/event.h"
#include "support/unitfixture.h"

namespace {

using Strings = std::vector<std::string>;
using Report = std::pair<int32_t, int32_t>;
using Reports = std::vector<Report>;
using Clock = std::chrono::steady_clock;

// Polls follow each other quickly in tests; the production pause is 2000 ms.
constexpr uint32_t kShortPauseMs = 5;

CUnitState UnitWithNetwork(int rssi, int registration, int cregMode) {
    CUnitState state = UnitFixture::ConfiguredState();
    state.network.rssi = rssi;
    state.network.registration = registration;
    state.network.cregMode = cregMode;
    return state;
}

// Runs a signal poll until `count` reports have arrived, then cancels it as the next operation
// would, and returns the reports.
Reports Poll(UnitFixture& unit, CRefPtr<CControllerSignalCheck> check, std::size_t count) {
    Reports reports;
    check->OnReportSignal = [&reports](int32_t signalStrength, int32_t loggedOnToNet) {
        reports.push_back({signalStrength, loggedOnToNet});
    };
    check->SetPollPause(kShortPauseMs);
    unit.Queue(check);
    EXPECT_TRUE(unit.Start());
    EXPECT_TRUE(unit.PumpUntil([&] { return reports.size() >= count; }));
    unit.Stop();
    EXPECT_NE(check->GetState(), IController::stFINISHED);  // it never finishes itself
    EXPECT_EQ(check->GetResult(), IController::resultNone);
    EXPECT_TRUE(unit.Finished().empty());
    reports.resize(count);
    return reports;
}

TEST(SignalCheckTest, PollsQualityTwiceThenRegistrationAndReportsAfterEachPoll) {
    UnitFixture unit(UnitWithNetwork(17, 1, 0));
    const Reports reports = Poll(unit, MakeRef<CControllerSignalCheck>(), 4);
    // Before the first registration poll the registration reads as 0.
    EXPECT_EQ(reports, (Reports{{17, 0}, {17, 0}, {17, 1}, {17, 1}}));
    const Strings sent = unit.Commands();
    ASSERT_GE(sent.size(), 4u);
    EXPECT_EQ(Strings(sent.begin(), sent.begin() + 4),
              (Strings{"AT+CSQ", "AT+CSQ", "AT+CREG?", "AT+CSQ"}));
}

TEST(SignalCheckTest, ReadsTheRegistrationInEveryPresentationMode) {
    struct Case {
        int registration;
        int cregMode;  // 2 adds the location: "+CREG: 2,1,\"5E25\",\"605F\""
        int32_t reported;
    };
    const std::vector<Case> cases = {
        {1, 0, 1}, {1, 1, 1}, {1, 2, 1}, {5, 2, 5}, {2, 2, 2}, {0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("mode " + std::to_string(c.cregMode) + " status " +
                     std::to_string(c.registration));
        UnitFixture unit(UnitWithNetwork(99, c.registration, c.cregMode));
        const Reports reports = Poll(unit, MakeRef<CControllerSignalCheck>(), 3);
        EXPECT_EQ(reports.back(), Report(99, c.reported));
    }
}

TEST(SignalCheckTest, ASilentModuleReportsUnknownValuesAndPollingGoesOn) {
    CCommandFault silence;
    silence.pattern = "AT";
    silence.action = CCommandFault::Action::Ignore;
    silence.andFollowing = true;
    CUnitSimulatorOptions options;
    options.initialState = UnitWithNetwork(17, 1, 0);
    options.faults = {silence};
    UnitFixture unit(options);
    auto check = MakeRef<CControllerSignalCheck>();
    check->SetReplyTimeout(50);
    const Reports reports = Poll(unit, check, 4);
    EXPECT_EQ(reports, (Reports{{-1, 0}, {-1, 0}, {-1, 0}, {-1, 0}}));
}

TEST(SignalCheckTest, ACancelEndsThePauseBeforeAPollAtOnce) {
    UnitFixture unit;
    auto check = MakeRef<CControllerSignalCheck>();  // the production pause
    CEvent cancel(true);
    check->SetCommSource(unit.Source());
    check->SetCancelEvent(&cancel);
    const auto start = Clock::now();
    check->Step();
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(1000));
}

}  // namespace
