#include "atcomm/controllersignalcheck.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "atcommtest.h"

namespace {

using Report = std::pair<int32_t, int32_t>;
using Reports = std::vector<Report>;

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
    check->SetPollPause(5);  // the production pause is 2000 ms
    unit.Queue(check);
    EXPECT_TRUE(unit.Start());
    EXPECT_TRUE(unit.PumpUntil([&] { return reports.size() >= count; }));
    unit.Stop();
    EXPECT_EQ(check->GetResult(), IController::resultNone);  // it never finishes itself
    EXPECT_TRUE(unit.Finished().empty());
    reports.resize(count);
    return reports;
}

TEST(SignalCheckTest, PollsQualityTwiceThenRegistrationAndReportsAfterEachPoll) {
    // Registration status 5 (roaming) in the extended form: "+CREG: 2,5,\"5E25\",\"605F\"". The
    // reply parser's tests cover the other presentation modes.
    UnitFixture unit(UnitWithNetwork(17, 5, 2));
    const Reports reports = Poll(unit, MakeRef<CControllerSignalCheck>(), 4);
    // Before the first registration poll the registration reads as 0.
    EXPECT_EQ(reports, (Reports{{17, 0}, {17, 0}, {17, 5}, {17, 5}}));
    const Strings sent = unit.Commands();
    ASSERT_GE(sent.size(), 4u);
    EXPECT_EQ(Strings(sent.begin(), sent.begin() + 4),
              (Strings{"AT+CSQ", "AT+CSQ", "AT+CREG?", "AT+CSQ"}));
}

TEST(SignalCheckTest, ASilentModuleReportsUnknownValuesAndPollingGoesOn) {
    UnitFixture unit(WithFaults({Fault("AT", Action::Ignore, true)}, UnitWithNetwork(17, 1, 0)));
    auto check = MakeRef<CControllerSignalCheck>();
    check->SetReplyTimeout(50);
    EXPECT_EQ(Poll(unit, check, 4), Reports(4, {-1, 0}));
}

}  // namespace
