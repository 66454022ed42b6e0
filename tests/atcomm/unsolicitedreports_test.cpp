#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "atcomm/controllerchangemode.h"
#include "atcomm/controllercheckmode.h"
#include "atcomm/controllerpin.h"
#include "atcomm/controllerreadsetting.h"
#include "atcomm/controllersignalcheck.h"
#include "atcomm/controllerwritesms.h"
#include "atcommtest.h"

// Each controller that reads one value, against the simulated unit sending an unsolicited
// report before the reply, between its lines and its final result, or after the final OK.

namespace {

// Far longer than any run here may take: a report that kept a complete reply waiting would
// show as a run that does not end within kBound. Each of these controllers also retries or
// fails after a time-out, which the commands sent or the outcome would show.
constexpr uint32_t kReplyTimeoutMs = 10000;
constexpr UnitFixture::Ms kBound{4000};

template <class C>
CRefPtr<C> Unhurried(CRefPtr<C> controller) {
    controller->SetReplyTimeout(kReplyTimeoutMs);
    controller->SetCommandPauseLimit(0);
    return controller;
}

// Runs one controller that finishes by itself and says how it ended, with `value` appended.
template <class C>
std::string RunOne(UnitFixture& unit, const CRefPtr<C>& controller,
                   const std::function<std::string()>& value) {
    if (!unit.RunToFinish(controller, kBound)) {
        return "still running";
    }
    return (controller->GetResult() == IController::resultOk ? "ok " : "failed ") + value();
}

// The signal poll's first three reports (quality, quality, registration), as "quality/status".
std::string PollThrice(UnitFixture& unit) {
    auto check = Unhurried(MakeRef<CControllerSignalCheck>());
    check->SetPollPause(0);
    std::vector<std::string> reports;
    check->OnReportSignal = [&reports](int32_t strength, int32_t loggedOn) {
        reports.push_back(std::to_string(strength) + "/" + std::to_string(loggedOn));
    };
    unit.Queue(check);
    const bool reported =
        unit.Start() && unit.PumpUntil([&reports] { return reports.size() >= 3; }, kBound);
    unit.Stop();
    if (!reported) {
        return "still running";
    }
    return reports[0] + " " + reports[2];
}

TEST(UnsolicitedReportsTest, EachSingleValueControllerReadsItsOwnLineAndEndsAtTheFinalOk) {
    CUnitState state = UnitFixture::ConfiguredState();
    state.phonebooks["SM"].entries[63] = {"+46701234567", 145, "ACCESS"};
    state.phonebooks["SM"].entries[64] = {"1", 129, ""};
    state.network.rssi = 17;
    CUnitState locked = state;
    locked.sim.lock = true;

    struct Case {
        const char* name;
        const char* command;  // the report lands in the reply to every command matching this
        std::string report;
        CUnitState state;
        std::function<std::string(UnitFixture&)> run;
        std::string expected;
        Strings sent;
    };
    const std::vector<Case> cases = {
        {"read setting",
         "AT+CPBR=64",
         "+CREG: 1,\"5E25\",\"605F\"",
         state,
         [](UnitFixture& unit) {
             auto read = Unhurried(MakeRef<CControllerReadSetting>());
             read->SetPosition(64);
             return RunOne(unit, read, [&read] { return read->GetValue(); });
         },
         "ok 1",
         {"AT+CPBR=64"}},
        {"store capacity",
         "AT+CPBS?",
         "RING",
         state,
         [](UnitFixture& unit) {
             auto check = Unhurried(MakeRef<CControllerCheckMode>());
             return RunOne(unit, check, [&check] { return std::to_string(check->GetCapacity()); });
         },
         "ok 250",
         {"AT+CPBS?"}},
        {"store selection",
         "AT+CPBS=",
         "+CMTI: \"SM\",3",
         state,
         [](UnitFixture& unit) {
             auto change = Unhurried(MakeRef<CControllerChangeMode>());
             change->SetSimStore(false);
             return RunOne(unit, change,
                           [&change] { return std::string(change->IsSimStore() ? "SM" : "ME"); });
         },
         "ok ME",
         {"AT+CPBS=ME"}},
        // Both PIN rows enter the code the dialog is given for the status and tries it shows.
        {"pin status",
         "AT+CPIN?",
         "+CMTI: \"SM\",3",
         locked,
         nullptr,
         "ok SIM PIN, 3 tries",
         {"AT+CPIN?", "AT^SPIC", "AT+CPIN=1234"}},
        {"pin tries",
         "AT^SPIC",
         "+CREG: 5",
         locked,
         nullptr,
         "ok SIM PIN, 3 tries",
         {"AT+CPIN?", "AT^SPIC", "AT+CPIN=1234"}},
        // The registration answer shares its prefix with the report; quality/registration.
        {"signal quality", "AT+CSQ", "RING", state, PollThrice, "17/-1 17/1", {}},
        {"signal registration",
         "AT+CREG?",
         "+CREG: 2,\"5E25\",\"605F\"",
         state,
         PollThrice,
         "17/-1 17/1",
         {}},
        {"message store report",
         "Alpha",
         "+CMTI: \"SM\",1",
         state,
         [](UnitFixture& unit) {
             auto provider = MakeRef<SmsProviderDouble>(std::vector<SmsMessage>{{"+461", "Alpha"}});
             auto write = Unhurried(MakeRef<CControllerWriteSms>(provider.get()));
             return RunOne(unit, write, [&unit] {
                 return std::to_string(unit.Unit().State().messages.count(1));
             });
         },
         "ok 1",
         {"AT+CMGW=\"+461\"", "Alpha\x1A"}},
    };
    const std::vector<std::pair<const char*, Action>> placements = {
        {"before the reply", Action::UnsolicitedBefore},
        {"inside the reply", Action::UnsolicitedInside},
        {"after the final OK", Action::UnsolicitedAfter},
    };
    for (const Case& c : cases) {
        for (const auto& [where, placement] : placements) {
            SCOPED_TRACE(std::string(c.name) + ", " + c.report + " " + where);
            UnitFixture unit(WithFaults({Fault(c.command, placement, true, c.report)}, c.state));
            if (c.run) {
                EXPECT_EQ(c.run(unit), c.expected);
            } else {
                auto pin = Unhurried(MakeRef<CControllerPin>());
                std::string shown;
                pin->OnRequestCode = [&shown](const EPinKind& type, const int32_t& triesLeft,
                                              std::string& code, std::string&, bool&, const bool&,
                                              bool&) {
                    shown = (type == EPinKind::SimPin ? "SIM PIN, " : "another code, ") +
                            std::to_string(triesLeft) + " tries";
                    code = "1234";
                };
                EXPECT_EQ(RunOne(unit, pin, [&shown] { return shown; }), c.expected);
            }
            if (!c.sent.empty()) {
                EXPECT_EQ(unit.Commands(), c.sent);
            }
        }
    }
}

}  // namespace
