#include "atcomm/controllerpin.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "atcommtest.h"

namespace {

// The user at the PIN dialog (an abort is the operation tests' case): types the scripted codes
// and choice, and remembers what the dialog was shown.
struct ScriptedUser {
    std::string pin;
    std::string puk{};
    bool disableLock = false;

    // The kind of code, the tries left and whether the previous code was wrong.
    using Shown = std::tuple<EPinKind, int32_t, bool>;
    std::vector<Shown> shown{};

    void Answer(CControllerPin& controller) {
        controller.OnRequestCode = [this](const EPinKind& type, const int32_t& triesLeft,
                                          std::string& pinOut, std::string& pukOut,
                                          bool& disableCodeCheck, const bool& previousIncorrect,
                                          bool& userAborted) {
            shown.push_back({type, triesLeft, previousIncorrect});
            pinOut = pin;
            pukOut = puk;
            disableCodeCheck = disableLock;
            userAborted = false;
        };
    }
};

// The SIM's state at power-on; a locked SIM knows PIN 1234 and PUK 12345678, its PIN2 is 5678.
enum class Sim { Pin, Puk, Pin2 };

CUnitState UnitWith(Sim sim) {
    CUnitState state = UnitFixture::ConfiguredState();
    state.sim.lock = sim == Sim::Pin || sim == Sim::Puk;
    state.sim.pinTries = sim == Sim::Puk ? 0 : 3;
    state.sim.askPin2 = sim == Sim::Pin2;
    return state;
}

// Runs one PIN controller against the unit with the user's answers.
uint8_t RunPin(UnitFixture& unit, ScriptedUser& user) {
    auto pin = MakeRef<CControllerPin>();
    user.Answer(*pin);
    return RunShort(unit, pin);
}

// The status and tries queries, then the given commands.
template <class... More>
Strings Asked(More... more) {
    return {"AT+CPIN?", "AT^SPIC", std::string(more)...};
}

// The lock switched off with `pin`.
std::string Off(const std::string& pin) {
    return "AT+CLCK=\"SC\",0," + pin;
}

// Replies the unit's module family does not give, for the failure paths.
const CCommandFault kTriesAsQuery =
    Fault("AT^SPIC", Action::Reply, false, "\r\n^SPIC: SIM PIN\r\n\r\nOK\r\n");
const CCommandFault kNoTries = Fault("AT^SPIC", Action::Reply, false, "\r\nOK\r\n");
const CCommandFault kOtherStatus =
    Fault("AT+CPIN?", Action::Reply, false, "\r\n+CPIN: PH-SIM PIN\r\n\r\nOK\r\n");

// The code goes out without quotes, as the kind the SIM asks for; after a PUK the lock is
// switched off with the new PIN just set. A failed run never asks again and never tries the
// lock-off, and no code that is not 4 to 8 digits reaches the SIM, where it could cost a try.
TEST(PinControllerTest, SendsOnlyAWellFormedCodeOfTheKindTheSimAsksFor) {
    struct Case {
        const char* name;
        Sim sim;
        ScriptedUser user;
        bool ok;
        Strings sent;
        int32_t tries = 3;  // shown in the dialog
        std::vector<CCommandFault> faults{};
    };
    const std::vector<Case> cases = {
        {"PIN2", Sim::Pin2, {"5678"}, true, Asked("AT+CPIN2=5678")},
        {"PIN, lock off", Sim::Pin, {"1234", "", true}, true, Asked("AT+CPIN=1234", Off("1234"))},
        {"PUK, lock off",
         Sim::Puk,
         {"4711", "12345678", true},
         true,
         Asked("AT+CPIN=12345678,4711", Off("4711")),
         10},
        // Sent as the SIM PIN, the PIN2 would cost the SIM a try or even lock it.
        {"PIN2, lock off asked", Sim::Pin2, {"5678", "", true}, true, Asked("AT+CPIN2=5678")},
        {"unreadable tries", Sim::Pin, {"1234"}, true, Asked("AT+CPIN=1234"), -1, {kTriesAsQuery}},
        {"wrong PIN, lock off asked", Sim::Pin, {"4321", "", true}, false, Asked("AT+CPIN=4321")},
        {"PIN too long", Sim::Pin, {"123456789"}, false, Asked()},
        {"PUK not digits", Sim::Puk, {"4711", "1234567x"}, false, Asked()},
        {"new PIN too short", Sim::Puk, {"47", "12345678"}, false, Asked()},
        {"PIN2 not digits", Sim::Pin2, {"56789012a"}, false, Asked()},
        {"unknown status", Sim::Pin, {"1234"}, false, {"AT+CPIN?"}, 3, {kOtherStatus}},
        {"tries reply without a count line", Sim::Pin, {"1234"}, false, Asked(), 3, {kNoTries}},
    };
    const std::map<Sim, EPinKind> asked = {
        {Sim::Pin, EPinKind::SimPin}, {Sim::Puk, EPinKind::SimPuk}, {Sim::Pin2, EPinKind::SimPin2}};
    for (Case c : cases) {
        SCOPED_TRACE(c.name);
        UnitFixture unit(WithFaults(c.faults, UnitWith(c.sim)));
        EXPECT_EQ(RunPin(unit, c.user), Outcome(c.ok));
        EXPECT_EQ(unit.Commands(), c.sent);
        if (!c.ok) {
            EXPECT_LE(c.user.shown.size(), 1u);
            continue;
        }
        EXPECT_EQ(c.user.shown,
                  (std::vector<ScriptedUser::Shown>{{asked.at(c.sim), c.tries, false}}));
        // The SIM is unlocked, and keeps its lock for the next power-on unless switched off.
        EXPECT_EQ(unit.Exchange("AT+CPIN?\r"), "\r\n+CPIN: READY\r\n\r\nOK\r\n");
        const CSimLock sim = unit.Unit().State().sim;
        EXPECT_EQ(sim.lock, c.sim != Sim::Pin2 && !c.sent.back().starts_with(Off("")));
        EXPECT_EQ(sim.pinTries, 3);
    }
}

}  // namespace
