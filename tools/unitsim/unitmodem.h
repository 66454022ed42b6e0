#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "unitsim/unitstate.h"

// A fault to inject on the commands a client sends. It applies to the nth command whose log
// entry (see CUnitModem::CommandLog) contains `pattern`, compared without regard to letter
// case, and with `andFollowing` to every later match as well.
struct CCommandFault {
    enum class Action {
        Error,              // answer "\r\nERROR\r\n"; the command is not carried out
        Ignore,             // no reply at all; the command is not carried out
        LoseReply,          // the command is carried out, its reply is lost
        Reply,              // answer `text` (raw bytes) instead; the command is not carried out
        UnsolicitedBefore,  // send "\r\n" + text + "\r\n" before the reply
        UnsolicitedInside,  // the same between the reply's lines and its final result code
                            // (before a reply that has none, such as the prompt)
        UnsolicitedAfter,   // send "\r\n" + text + "\r\n" after the reply
        Misstore,           // carried out and answered as usual, but a phonebook write stores
                            // `text` as its number and a message stores `text` as its text
    };
    std::string pattern;
    int nth = 1;
    bool andFollowing = false;
    Action action = Action::Error;
    std::string text;
};

// What the module puts on the line in answer to the bytes it was fed, in order.
struct CModemOutput {
    enum class Kind {
        Echo,    // sent at once: the echo of the bytes received
        Reply,   // sent after the per-command latency: a reply, a prompt, unsolicited lines
        HangUp,  // the line goes dead here
    };
    Kind kind;
    std::string bytes;
};

// The command interpreter of the simulated GSM module: a Siemens/Cinterion-style module that
// answers the commands of 3GPP TS 27.007 and 27.005 (text mode), with verbose result codes,
// echo, "+CME ERROR"/"+CMS ERROR" results after AT+CMEE, the "> " prompt of AT+CMGW and a SIM
// with PIN, PUK and a busy time after a code. It does no I/O and is not thread-safe; the
// simulator serialises every call.
class CUnitModem {
public:
    using Clock = std::chrono::steady_clock;
    // Called with the new state after every change that a power cycle must keep.
    using ChangeHandler = std::function<void(const CUnitState&)>;

    explicit CUnitModem(CUnitState state, ChangeHandler onChange = {});

    // Takes bytes from the line and returns what the module sends back. Commands end with a
    // carriage return; other control characters but backspace and line feed are left out of
    // a command line. A message text after the prompt ends with Ctrl-Z (stored) or ESC
    // (dropped); a backspace in it takes back the last character, and "\hh" escapes are
    // undone when it is stored. The entry outlasts a client's close, as on the real module.
    std::vector<CModemOutput> Feed(std::string_view bytes);

    const CUnitState& State() const { return state; }
    bool IsEcho() const { return echo; }
    bool IsHungUp() const { return hungUp; }

    // Every command line received, without its carriage return, and every message text
    // entered after the prompt, followed by its terminator (0x1A sent, 0x1B cancelled).
    const std::vector<std::string>& CommandLog() const { return log; }
    void ClearCommandLog() { log.clear(); }

    void AddFault(const CCommandFault& fault);
    void ClearFaults();
    // The nth message stored with AT+CMGW from now on (0: none) goes to the next free index
    // above the lowest free one, when there is one.
    void SetStoreIndexFault(int nth);
    // Once this many more log entries have been received and answered (0: never), the line
    // goes dead as the next bytes arrive: they are neither logged nor answered, and Feed
    // reports a HangUp. The answers before it have certainly reached the client by then.
    void SetHangUpAfter(int entries);

private:
    // Set while a command with a Misstore fault is carried out: what it stores instead.
    std::optional<std::string> misstore;

    enum class SimState { Ready, SimPin, SimPuk, SimPin2, SimPuk2, Blocked };
    struct Param {
        std::string value;
        bool quoted = false;
        bool present = false;
    };
    struct ActiveFault {
        CCommandFault fault;
        int seen = 0;
    };

    void HandleLine(const std::string& line, std::vector<CModemOutput>& out);
    void HandleTextEnd(char terminator, std::vector<CModemOutput>& out);
    // Applies the faults to a new log entry; `run` produces the normal reply.
    void Answer(const std::string& entry, const std::function<std::string()>& run,
                std::vector<CModemOutput>& out);
    std::string Execute(const std::string& body);

    // Result codes.
    std::string Ok() const;
    std::string Info(const std::vector<std::string>& lines) const;
    std::string Error() const;
    std::string CmeError(int code) const;
    std::string CmsError(int code) const;

    // The commands, grouped as the standards group them.
    std::string Basic(const std::string& name);
    std::string Identity(const std::string& name);
    std::string Profile(const std::string& name, const std::string& mode,
                        const std::vector<Param>& params);
    std::string Pin(const std::string& mode, const std::vector<Param>& params, bool pin2);
    std::string Spic(const std::string& mode, const std::vector<Param>& params);
    std::string Clck(const std::string& mode, const std::vector<Param>& params);
    std::string Cpbs(const std::string& mode, const std::vector<Param>& params);
    std::string Cpbr(const std::string& mode, const std::vector<Param>& params);
    std::string Cpbw(const std::string& mode, const std::vector<Param>& params);
    std::string Cmgl(const std::string& mode, const std::vector<Param>& params);
    std::string Cmgr(const std::string& mode, const std::vector<Param>& params);
    std::string Cmgw(const std::string& mode, const std::vector<Param>& params);
    std::string Cmgd(const std::string& mode, const std::vector<Param>& params);
    std::string Cpms(const std::string& mode, const std::vector<Param>& params);
    std::string Csq(const std::string& mode, const std::vector<Param>& params);
    std::string Creg(const std::string& mode, const std::vector<Param>& params);

    // The error that keeps the SIM's stores out of reach now, or 0; for the SMS commands that
    // need text mode, also the error of PDU mode.
    int PhonebookBlock() const;
    int SmsBlock(bool needsTextMode = false) const;
    // What the SIM asks for: "SIM PIN" ... "SIM PUK2", or "READY".
    const char* Asked() const;
    std::string CheckCode(const std::string& code, const std::string& expected, int& tries,
                          SimState onExhausted);
    void StartBusy();
    void Restore(const CModemProfile& profile);
    void Changed();
    CPhonebook& Book();
    int FreeSmsIndex();

    CUnitState state;
    ChangeHandler onChange;

    // Session state, lost at power-off.
    bool echo = true;
    int errorMode = 0;
    bool textMode = false;
    int cregMode = 0;
    std::string store = "SM";
    SimState sim = SimState::Ready;
    Clock::time_point busyUntil{};

    // Line discipline.
    bool inText = false;
    bool lineOverflow = false;
    std::string line;
    std::string text;
    std::string pendingAddress;
    std::string pendingStatus;

    std::vector<std::string> log;
    std::vector<ActiveFault> faults;
    int storeFaultAt = 0;  // counts down over stores
    int hangUpAt = 0;      // counts down over log entries
    bool hangUpArmed = false;
    bool hungUp = false;
};
