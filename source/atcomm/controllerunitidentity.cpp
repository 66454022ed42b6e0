#include "atcomm/controllerunitidentity.h"

#include <optional>

#include "atcomm/replyparser.h"

CControllerUnitIdentity::CControllerUnitIdentity()
    : CControllerBase(stMAIN_STEP, "CControllerUnitIdentity", kReplyTimeoutMs, kDescriptionKey,
                      DefaultDescription::Named) {
    progressInfo.SetMaximum(1);
    progressInfo.SetPosition(0);
}

void CControllerUnitIdentity::DoAction(uint8_t action) {
    if (action != stASK) {
        return;
    }
    // The module has just answered "ATI", so it needs no pause before the next command.
    const std::optional<bool> answered = ExchangeUnlessCancelled("AT+CGSN\r");
    if (!answered) {
        return;
    }
    if (*answered) {
        serialNumber = ParseSerialNumber(GetReply());
    }
    m_currState = stDONE;
    progressInfo.SetPosition(1);
    Finish(resultOk);
}
