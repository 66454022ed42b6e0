#include "atcomm/controllerpin.h"

#include <algorithm>

CControllerPin::CControllerPin()
    : CControllerBase(stMAIN_STEP, "CControllerPin", kReplyTimeoutMs, kDescriptionKey,
                      DefaultDescription::Named) {
    progressInfo.SetMaximum(1);
    progressInfo.SetPosition(0);
}

bool CControllerPin::IsValidCode(const std::string& code) {
    return code.size() >= kMinCodeLength && code.size() <= kMaxCodeLength &&
           std::all_of(code.begin(), code.end(), [](char c) { return c >= '0' && c <= '9'; });
}

void CControllerPin::DoAction(uint8_t action) {
    switch (action) {
        case stSTATUS:
            actionStatus();
            break;
        case stTRIES:
            actionTries();
            break;
        case stREQUEST_CODE:
            actionRequestCode();
            break;
        case stENTER_CODE:
            actionEnterCode();
            break;
        case stLOCK_OFF:
            actionLockOff();
            break;
        case stDONE:
            break;
        default:
            End(resultFailed);
            break;
    }
}

void CControllerPin::End(uint8_t code) {
    m_currState = stDONE;
    Finish(code);
}

void CControllerPin::actionStatus() {
    if (!Exchange("AT+CPIN?\r", kCommandPauseMs)) {
        End(resultFailed);
        return;
    }
    const std::optional<EPinKind> status = ParsePinStatus(GetReply());
    if (!status) {
        End(resultFailed);
        return;
    }
    pinKind = *status;
    if (pinKind == EPinKind::Ready) {
        End(resultOk);
        return;
    }
    m_currState = stTRIES;
    SetState(stWORKER_STEP);
}

void CControllerPin::actionTries() {
    if (!Exchange("AT^SPIC\r", kCommandPauseMs)) {
        End(resultFailed);
        return;
    }
    const std::optional<int32_t> tries = ParseTriesLeft(GetReply());
    if (!tries) {
        End(resultFailed);
        return;
    }
    triesLeft = *tries;
    m_currState = stREQUEST_CODE;
    SetState(stMAIN_STEP);
}

void CControllerPin::actionRequestCode() {
    bool userAborted = false;
    if (OnRequestCode) {
        const EPinKind type = pinKind;
        OnRequestCode(type, triesLeft, pin, puk, disableLock, codeRejected, userAborted);
    }
    if (userAborted) {
        End(resultFailed);
        return;
    }
    m_currState = stENTER_CODE;
    SetState(stWORKER_STEP);
}

void CControllerPin::actionEnterCode() {
    const bool withPuk = pinKind == EPinKind::SimPuk || pinKind == EPinKind::SimPuk2;
    if (!IsValidCode(pin) || (withPuk && !IsValidCode(puk))) {
        End(resultFailed);
        return;
    }
    std::string text;
    switch (pinKind) {
        case EPinKind::SimPin:
            text = "AT+CPIN=" + pin + "\r";
            break;
        case EPinKind::SimPuk:
            text = "AT+CPIN=" + puk + "," + pin + "\r";
            break;
        case EPinKind::SimPin2:
            text = "AT+CPIN2=" + pin + "\r";
            break;
        case EPinKind::SimPuk2:
            text = "AT+CPIN2=" + puk + "," + pin + "\r";
            break;
        default:
            End(resultFailed);
            return;
    }
    if (!Exchange(text, kCommandPauseMs) || !ReplyContains("OK\r\n")) {
        End(resultFailed);
        return;
    }
    // The lock belongs to the SIM PIN: after a PIN2 entry the code in hand would be the PIN2,
    // and sending it as the SIM PIN could cost the SIM a try.
    const bool lockCodeInHand = pinKind == EPinKind::SimPin || pinKind == EPinKind::SimPuk;
    if (disableLock && lockCodeInHand) {
        m_currState = stLOCK_OFF;
        SetState(stWORKER_STEP);
        return;
    }
    End(resultOk);
}

void CControllerPin::actionLockOff() {
    const bool done =
        Exchange("AT+CLCK=\"SC\",0," + pin + "\r", kCommandPauseMs) && ReplyContains("OK\r\n");
    End(done ? resultOk : resultFailed);
}
