#include "atcomm/controllerconfigure.h"

CControllerConfigure::CControllerConfigure()
    : CControllerBase(stMAIN_STEP, "CControllerConfigure", kReplyTimeoutMs, kDescriptionKey,
                      DefaultDescription::Named) {
    progressInfo.SetMaximum(1);
    progressInfo.SetPosition(0);
}

void CControllerConfigure::DoAction(uint8_t action) {
    const char* text = nullptr;
    switch (action) {
        case stECHO_OFF:
            text = "ATE0\r";
            break;
        case stTEXT_MODE:
            text = "AT+CMGF=1\r";
            break;
        case stSTORE_PROFILE:
            text = "AT&W\r";
            break;
        default:
            return;
    }
    // The echo of "ATE0" still precedes its result; only the final OK matters.
    if (!Exchange(text, kCommandPauseMs) || !ReplyContains("OK\r\n")) {
        m_currState = stFAILED;
        Finish(resultFailed);
        return;
    }
    if (action == stSTORE_PROFILE) {
        Finish(resultOk);
    } else {
        ++m_currState;
    }
}
