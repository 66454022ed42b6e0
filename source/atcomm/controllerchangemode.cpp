#include "atcomm/controllerchangemode.h"

#include <string>

CControllerChangeMode::CControllerChangeMode()
    : CControllerBase(stWORKER_STEP, "CControllerChangeMode", kReplyTimeoutMs, kDescriptionKey) {}

void CControllerChangeMode::DoAction(uint8_t action) {
    if (action != 0) {
        return;
    }
    // The store name goes without quotes, which the module family accepts as well.
    const std::string text = std::string("AT+CPBS=") + (simStore ? "SM" : "ME") + "\r";
    if (Exchange(text, kCommandPauseMs) && ReplyContains("OK\r\n")) {
        Finish(resultOk);
        return;
    }
    --attemptsLeft;
    if (attemptsLeft < 1) {
        Finish(resultFailed);
    }
}
