#include "atcomm/controllerconnectioncheck.h"

CControllerConnectionCheck::CControllerConnectionCheck(int32_t attempts)
    : CControllerBase(stMAIN_STEP, "CControllerConnectionCheck", kReplyTimeoutMs, kDescriptionKey,
                      DefaultDescription::Named),
      attemptsLeft(attempts) {
    progressInfo.SetMaximum(attempts);
    progressInfo.SetPosition(0);
}

void CControllerConnectionCheck::DoAction(uint8_t action) {
    if (action != stATTEMPT) {
        return;
    }
    ReturnToProgressStep();
    if (attemptsLeft < 1) {
        m_currState = stDONE;
        Finish(resultFailed);
        return;
    }
    if (!released) {
        released = true;
        ReleaseTextEntry(kReleasePauseMs);
    }
    if (Exchange("ATI\r")) {
        // Case matters: the makers write their names exactly so.
        if (ReplyContains("SIEMENS") || ReplyContains("TRIORAIL") || ReplyContains("Cinterion")) {
            m_currState = stDONE;
            Finish(resultOk);
        } else {
            // A module that answers but is not ours is given up on twice as fast as silence.
            --attemptsLeft;
        }
    }
    --attemptsLeft;
    progressInfo.SetPosition(progressInfo.GetMaximum() - attemptsLeft);
}
