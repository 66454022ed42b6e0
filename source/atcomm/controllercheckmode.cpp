#include "atcomm/controllercheckmode.h"

#include "atcomm/replyparser.h"

CControllerCheckMode::CControllerCheckMode()
    : CControllerBase(stWORKER_STEP, "CControllerCheckMode", kReplyTimeoutMs, kDescriptionKey) {}

void CControllerCheckMode::DoAction(uint8_t action) {
    if (action != 0) {
        return;
    }
    if (Exchange("AT+CPBS?\r", kCommandPauseMs) && ReplyContains("OK\r\n")) {
        capacity = ParsePhonebookCapacity(GetReply());
        used = ParsePhonebookUsed(GetReply());
        if (IsValidPhonebookCapacity(capacity)) {
            Finish(resultOk);
            return;
        }
    }
    --attemptsLeft;
    if (attemptsLeft < 1) {
        Finish(resultFailed);
    }
}
