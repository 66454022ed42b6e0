#include "atcomm/controllerpin.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "atcomm/controllerwaitforsim.h"
#include "support/unitfixture.h"

namespace {

using Action = CCommandFault::Action;
using Strings = std::vector<std::string>;

// A wrong code is answered with an error, which the controller sees only as a time-out.
constexpr uint32_t kShortTimeoutMs = 200;

// The user at the PIN dialog: types the scripted codes and choice, and remembers what the
// dialog was shown.
struct ScriptedUser {
    ScriptedUser(std::string pin = {}, std::string puk = {}, bool disableLock = false,
                 bool abort = false)
        : pin(std::move(pin)), puk(std::move(puk)), disableLock(disableLock), abort(abort) {}

    std::string pin;
    std::string puk;
    bool disableLock;
    bool abort;

    struct Shown {
        EPinKind type;
        int32_t triesLeft;
        bool previousIncorrect;
    };
    std::vector<Shown> shown;

    void Answer(CControllerPin& controller) {
        controller.OnRequestCode = [this](const EPinKind& type, const int32_t& triesLeft,
                                          std::string& pinOut, std::string& pukOut,
                                          bool& disableCodeCheck, const bool& previousIncorrect,
                                          bool& userAborted) {
            shown.push_back({type, triesLeft, previousIncorrect});
            pinOut = pin;
            pukOut = puk;
            disableCodeCheck = disableLock;
            userAborted = abort;
        };
    }
};

CUnitState LockedSim() {
    CUnitState state = UnitFixture::ConfiguredState();
    state.sim.lock = true;  // PIN 1234, PUK 12345678
    return state;
}

CUnitState SimAskingForPuk() {
    CUnitState state = LockedSim();
    state.sim.pinTries = 0;
    return state;
}

CUnitState SimAskingForPin2() {
    CUnitState state = UnitFixture::ConfiguredState();
    state.sim.askPin2 = true;  // PIN2 5678
    return state;
}

struct Outcome {
    uint8_t result;
    Strings sent;
};

TEST(PinControllerTest, AReadySimNeedsOneQueryAndNoDialog) {
    UnitFixture unit;
    auto pin = MakeRef<CControllerPin>();
    ScriptedUser user;
    user.Answer(*pin);
    ASSERT_TRUE(unit.RunToFinish(pin));
    EXPECT_EQ(pin->GetResult(), IController::resultOk);
    EXPECT_EQ(unit.Commands(), Strings{"AT+CPIN?"});
    EXPECT_TRUE(user.shown.empty());
    EXPECT_EQ(pin->GetPinKind(), EPinKind::Ready);
    EXPECT_EQ(pin->GetDescriptionKey(), "CONTROLLER_PIN_DESCRIPTION");
    EXPECT_EQ(pin->GetProgressInfo().GetDescription(),
              "CControllerPin::actionGetDescriptionString");
}

TEST(PinControllerTest, SendsTheCodeTheSimAsksForWithoutQuotes) {
    struct Case {
        const char* name;
        CUnitState state;
        ScriptedUser user;
        EPinKind asked;
        int32_t tries;
        Strings sent;
    };
    const std::vector<Case> cases = {
        {"PIN",
         LockedSim(),
         {"1234"},
         EPinKind::SimPin,
         3,
         {"AT+CPIN?", "AT^SPIC", "AT+CPIN=1234"}},
        {"PIN2",
         SimAskingForPin2(),
         {"5678"},
         EPinKind::SimPin2,
         3,
         {"AT+CPIN?", "AT^SPIC", "AT+CPIN2=5678"}},
        {"PUK",
         SimAskingForPuk(),
         {"4711", "12345678"},
         EPinKind::SimPuk,
         10,
         {"AT+CPIN?", "AT^SPIC", "AT+CPIN=12345678,4711"}},
    };
    for (Case c : cases) {
        SCOPED_TRACE(c.name);
        UnitFixture unit(c.state);
        auto pin = MakeRef<CControllerPin>();
        c.user.Answer(*pin);
        ASSERT_TRUE(unit.RunToFinish(pin));
        EXPECT_EQ(pin->GetResult(), IController::resultOk);
        EXPECT_EQ(unit.Commands(), c.sent);
        ASSERT_EQ(c.user.shown.size(), 1u);
        EXPECT_EQ(c.user.shown[0].type, c.asked);
        EXPECT_EQ(c.user.shown[0].triesLeft, c.tries);
        EXPECT_FALSE(c.user.shown[0].previousIncorrect);
        // The SIM is unlocked but keeps its lock for the next power-on.
        EXPECT_EQ(unit.Exchange("AT+CPIN?\r"), "\r\n+CPIN: READY\r\n\r\nOK\r\n");
        EXPECT_EQ(unit.Unit().State().sim.lock, c.state.sim.lock);
    }
}

TEST(PinControllerTest, SwitchesTheLockOffWithThePinInForce) {
    struct Case {
        const char* name;
        CUnitState state;
        ScriptedUser user;
        std::string lockOff;
    };
    const std::vector<Case> cases = {
        {"after the PIN", LockedSim(), {"1234", "", true}, "AT+CLCK=\"SC\",0,1234"},
        // After a PUK the lock is switched off with the new PIN just set.
        {"after the PUK", SimAskingForPuk(), {"4711", "12345678", true}, "AT+CLCK=\"SC\",0,4711"},
    };
    for (Case c : cases) {
        SCOPED_TRACE(c.name);
        UnitFixture unit(c.state);
        auto pin = MakeRef<CControllerPin>();
        c.user.Answer(*pin);
        ASSERT_TRUE(unit.RunToFinish(pin));
        EXPECT_EQ(pin->GetResult(), IController::resultOk);
        const Strings sent = unit.Commands();
        ASSERT_EQ(sent.size(), 4u);
        EXPECT_EQ(sent[3], c.lockOff);
        const CSimLock sim = unit.Unit().State().sim;
        EXPECT_FALSE(sim.lock);
        EXPECT_EQ(sim.pin, c.user.pin);
        EXPECT_EQ(sim.pinTries, 3);
    }
}

TEST(PinControllerTest, NeverSwitchesTheLockOffWithThePin2) {
    CUnitState state = SimAskingForPin2();
    state.sim.lock = false;
    UnitFixture unit(state);
    auto pin = MakeRef<CControllerPin>();
    ScriptedUser user{"5678", "", true};
    user.Answer(*pin);
    ASSERT_TRUE(unit.RunToFinish(pin));
    EXPECT_EQ(pin->GetResult(), IController::resultOk);
    // Sent as the SIM PIN, the PIN2 would cost the SIM a try or even lock it.
    EXPECT_EQ(unit.Commands(), (Strings{"AT+CPIN?", "AT^SPIC", "AT+CPIN2=5678"}));
    EXPECT_EQ(unit.Unit().State().sim.pinTries, 3);
}

TEST(PinControllerTest, AbortOrAWrongCodeEndsTheRunWithoutAskingAgain) {
    struct Case {
        const char* name;
        ScriptedUser user;
        Strings sent;
        int pinTriesAfter;
    };
    const std::vector<Case> cases = {
        {"aborted", {"1234", "", false, true}, {"AT+CPIN?", "AT^SPIC"}, 3},
        {"wrong PIN", {"4321"}, {"AT+CPIN?", "AT^SPIC", "AT+CPIN=4321"}, 2},
        // The lock-off is never tried after a refused code.
        {"wrong PIN, lock off asked",
         {"4321", "", true},
         {"AT+CPIN?", "AT^SPIC", "AT+CPIN=4321"},
         2},
    };
    for (Case c : cases) {
        SCOPED_TRACE(c.name);
        UnitFixture unit(LockedSim());
        auto pin = MakeRef<CControllerPin>();
        pin->SetReplyTimeout(kShortTimeoutMs);
        c.user.Answer(*pin);
        ASSERT_TRUE(unit.RunToFinish(pin));
        EXPECT_EQ(pin->GetResult(), IController::resultFailed);
        EXPECT_EQ(unit.Commands(), c.sent);
        EXPECT_EQ(c.user.shown.size(), 1u);
        EXPECT_EQ(unit.Unit().State().sim.pinTries, c.pinTriesAfter);
    }
}

TEST(PinControllerTest, SendsNoCodeThatIsNotFourToEightDigits) {
    struct Case {
        CUnitState state;
        std::string pin;
        std::string puk;
    };
    const std::vector<Case> cases = {
        {LockedSim(), " 123", ""},
        {LockedSim(), "+1234", ""},
        {LockedSim(), "x1A2", ""},
        {LockedSim(), "123456789", ""},
        {LockedSim(), "", ""},
        {SimAskingForPuk(), "4711", "1234567x"},
        {SimAskingForPuk(), "47", "12345678"},
        {SimAskingForPin2(), "56789012a", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("pin '" + c.pin + "' puk '" + c.puk + "'");
        UnitFixture unit(c.state);
        auto pin = MakeRef<CControllerPin>();
        ScriptedUser user{c.pin, c.puk};
        user.Answer(*pin);
        ASSERT_TRUE(unit.RunToFinish(pin));
        EXPECT_EQ(pin->GetResult(), IController::resultFailed);
        EXPECT_EQ(unit.Commands(), (Strings{"AT+CPIN?", "AT^SPIC"}));
        EXPECT_EQ(unit.Unit().State().sim, c.state.sim);  // no try was spent
    }
}

TEST(PinControllerTest, CodeFormIsFourToEightDecimalDigits) {
    using namespace std::string_literals;
    const std::vector<std::pair<std::string, bool>> cases = {
        {"1234", true},
        {"12345678", true},
        {"0000", true},
        {"123", false},
        {"123456789", false},
        {"", false},
        {"12a4", false},
        {"-1234", false},
        {"12 34", false},
        {"1234,5", false},
        {"1234\r", false},
        {"1234\0"s, false},
        {"12\xB2"s + "34", false},  // a superscript two is no decimal digit
    };
    for (const auto& [code, valid] : cases) {
        EXPECT_EQ(CControllerPin::IsValidCode(code), valid) << code;
    }
}

TEST(PinControllerTest, UnknownStatusOrMissingTriesEndsIt) {
    struct Case {
        const char* name;
        CCommandFault fault;
        Strings sent;
    };
    CCommandFault otherStatus;
    otherStatus.pattern = "AT+CPIN?";
    otherStatus.action = Action::Reply;
    otherStatus.text = "\r\n+CPIN: PH-SIM PIN\r\n\r\nOK\r\n";
    CCommandFault noTries;
    noTries.pattern = "AT^SPIC";
    noTries.action = Action::Reply;
    noTries.text = "\r\nOK\r\n";
    const std::vector<Case> cases = {
        {"status the tool does not know", otherStatus, {"AT+CPIN?"}},
        {"tries reply without a count line", noTries, {"AT+CPIN?", "AT^SPIC"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CUnitSimulatorOptions options;
        options.initialState = LockedSim();
        options.faults = {c.fault};
        UnitFixture unit(options);
        auto pin = MakeRef<CControllerPin>();
        ScriptedUser user{"1234"};
        user.Answer(*pin);
        ASSERT_TRUE(unit.RunToFinish(pin));
        EXPECT_EQ(pin->GetResult(), IController::resultFailed);
        EXPECT_EQ(unit.Commands(), c.sent);
        EXPECT_TRUE(user.shown.empty());
    }
}

TEST(PinControllerTest, UnreadableTriesStillOpenTheDialog) {
    CCommandFault queryForm;
    queryForm.pattern = "AT^SPIC";
    queryForm.action = Action::Reply;
    queryForm.text = "\r\n^SPIC: SIM PIN\r\n\r\nOK\r\n";
    CUnitSimulatorOptions options;
    options.initialState = LockedSim();
    options.faults = {queryForm};
    UnitFixture unit(options);
    auto pin = MakeRef<CControllerPin>();
    ScriptedUser user{"1234"};
    user.Answer(*pin);
    ASSERT_TRUE(unit.RunToFinish(pin));
    EXPECT_EQ(pin->GetResult(), IController::resultOk);
    ASSERT_EQ(user.shown.size(), 1u);
    EXPECT_EQ(user.shown[0].triesLeft, -1);
}

TEST(PinControllerTest, TheWaitForTheSimFollowsACodeEntryUntilTheSimIsReady) {
    // The connect sequence's pair: the dialog sets the main window's flag, and the wait then
    // polls the busy SIM until its stores answer.
    CUnitState state = LockedSim();
    state.sim.busyMs = 600;
    UnitFixture unit(state);
    bool pinAsked = false;

    auto pin = MakeRef<CControllerPin>();
    ScriptedUser user{"1234"};
    user.Answer(*pin);
    auto onRequest = pin->OnRequestCode;
    pin->OnRequestCode = [&, onRequest](const EPinKind& type, const int32_t& tries,
                                        std::string& code, std::string& puk, bool& disable,
                                        const bool& incorrect, bool& aborted) {
        pinAsked = true;
        onRequest(type, tries, code, puk, disable, incorrect, aborted);
    };
    auto wait = MakeRef<CControllerWaitForSim>(10, pinAsked);
    wait->SetReplyTimeout(kShortTimeoutMs);
    wait->SetPinPauses(20, 20);
    unit.Queue(pin);
    unit.Queue(wait);
    ASSERT_TRUE(unit.RunQueued());

    EXPECT_EQ(pin->GetResult(), IController::resultOk);
    EXPECT_EQ(wait->GetResult(), IController::resultOk);
    const Strings sent = unit.Commands();
    ASSERT_GE(sent.size(), 5u);
    EXPECT_EQ(Strings(sent.begin(), sent.begin() + 3),
              (Strings{"AT+CPIN?", "AT^SPIC", "AT+CPIN=1234"}));
    // At least one poll found the SIM busy; every poll reads the same position.
    EXPECT_EQ(Strings(sent.begin() + 3, sent.end()), Strings(sent.size() - 3, "AT+CPBR=45"));
    EXPECT_LT(wait->GetAttemptsLeft(), 10);
}

}  // namespace
