#include "atcomm/controllerwaitforsim.h"

CControllerWaitForSim::CControllerWaitForSim(int32_t attempts, const bool& pinAsked)
    : CControllerBase(stMAIN_STEP, "CControllerWaitForSim", kReplyTimeoutMs, kDescriptionKey,
                      DefaultDescription::Named),
      attemptsLeft(attempts),
      pinAsked(pinAsked) {
    progressInfo.SetMaximum(1);
    progressInfo.SetPosition(0);
}

void CControllerWaitForSim::SetPinPauses(uint32_t beforePollMs, uint32_t afterReadyMs) {
    pauseBeforePollMs = beforePollMs;
    pauseAfterReadyMs = afterReadyMs;
}

void CControllerWaitForSim::End(uint8_t code) {
    m_currState = stDONE;
    Finish(code);
}

void CControllerWaitForSim::DoAction(uint8_t action) {
    if (action != stPOLL) {
        return;
    }
    if (attemptsLeft < 1) {
        End(resultFailed);
        return;
    }
    if (pinAsked) {
        PauseFor(pauseBeforePollMs);
        if (IsCancelRequested()) {
            End(resultFailed);
            return;
        }
    }
    // Any position will do: the read only shows whether the SIM's stores answer yet.
    if (Exchange("AT+CPBR=45\r")) {
        if (pinAsked) {
            PauseFor(pauseAfterReadyMs);
        }
        End(resultOk);
        return;
    }
    if (IsCancelRequested()) {
        End(resultFailed);
        return;
    }
    // A busy SIM's error reply arrives as a time-out, like silence.
    --attemptsLeft;
    if (attemptsLeft < 1) {
        End(resultFailed);
    }
}
