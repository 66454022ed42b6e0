#include "atcomm/controllersignalcheck.h"

#include "atcomm/replyparser.h"
#include "core/parseint.h"

CControllerSignalCheck::CControllerSignalCheck()
    : CControllerBase(stWORKER_STEP, "CControllerSignalCheck", kReplyTimeoutMs, kDescriptionKey) {}

void CControllerSignalCheck::DoAction(uint8_t action) {
    if (action == stPOLL) {
        actionPoll();
    } else if (action == stREPORT) {
        actionReport();
    }
}

void CControllerSignalCheck::actionPoll() {
    PauseFor(pollPauseMs);
    if (pollCounter > qualityPolls) {
        pollCounter = 0;
    }
    ++pollCounter;
    const bool qualityPoll = pollCounter <= qualityPolls;
    // Silence or an error reply is evaluated like any other: the values then read as unknown,
    // and polling goes on.
    SendCommand(qualityPoll ? "AT+CSQ\r" : "AT+CREG?\r");
    if (!ReadReply() && IsCancelRequested()) {
        // Half a reply would show a value the unit never gave; the poll is over anyway.
        return;
    }
    if (qualityPoll) {
        quality = ParseSignalQuality(GetReply());
    } else {
        registration = ParseRegistrationStatus(GetReply());
        registrationPolled = true;
    }
    m_currState = stREPORT;
    SetState(stMAIN_STEP);
}

void CControllerSignalCheck::actionReport() {
    if (OnReportSignal) {
        OnReportSignal(ParseInt(quality, -1), registrationPolled ? ParseInt(registration, 0) : -1);
    }
    m_currState = stPOLL;
    SetState(stWORKER_STEP);
}
