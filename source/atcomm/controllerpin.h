#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "atcomm/replyparser.h"
#include "engine/controllerbase.h"

// Asks the SIM which code it wants and how many tries are left, has the user type the code on
// the GUI thread and sends it; on request it then switches the SIM's PIN lock off. The user is
// asked at most once per run: a wrong code ends the controller as failed, and a later run
// starts again with the status query.
class CControllerPin : public CControllerBase {
public:
    static constexpr char kDescriptionKey[] = "CONTROLLER_PIN_DESCRIPTION";
    static constexpr uint32_t kReplyTimeoutMs = 5500;
    // A SIM code is 4 to 8 decimal digits (the PUK is 8).
    static constexpr std::size_t kMinCodeLength = 4;
    static constexpr std::size_t kMaxCodeLength = 8;

    // Called on the GUI thread with the code the SIM wants (a copy, 0 to 3) and the tries left;
    // the handler stores the typed codes in `pin` and `puk` (the PUK for kinds 1 and 3 only, the
    // new PIN in `pin` then), the user's lock-off choice in `disableCodeCheck`, and sets
    // `userAborted` when the user does not confirm.
    using TRequestCodeEvent = std::function<void(
        const EPinKind& type, const int32_t& triesLeft, std::string& pin, std::string& puk,
        bool& disableCodeCheck, const bool& previousCodeIncorrect, bool& userAborted)>;

    CControllerPin();

    TRequestCodeEvent OnRequestCode;

    EPinKind GetPinKind() const { return pinKind; }
    int32_t GetTriesLeft() const { return triesLeft; }

    // Whether a code may be sent to the SIM: 4 to 8 decimal digits and nothing else, so that a
    // typed blank, sign or separator can neither reach the command line nor cost the SIM a try.
    static bool IsValidCode(const std::string& code);

protected:
    void DoAction(uint8_t action) override;

private:
    static constexpr uint8_t stSTATUS = stFIRST_WORK;
    static constexpr uint8_t stTRIES = 3;
    static constexpr uint8_t stREQUEST_CODE = 4;
    static constexpr uint8_t stENTER_CODE = 5;
    static constexpr uint8_t stLOCK_OFF = 6;
    static constexpr uint8_t stDONE = 7;

    void actionStatus();
    void actionTries();
    void actionRequestCode();
    void actionEnterCode();
    void actionLockOff();
    void End(uint8_t code);

    EPinKind pinKind = EPinKind::None;
    int32_t triesLeft = 0;
    bool disableLock = false;
    // Passed to the dialog for its wrong-code hint; no step sets it, since a rejected code
    // reaches the controller only as a time-out, which ends the run.
    bool codeRejected = false;
    std::string pin;
    std::string puk;
};
