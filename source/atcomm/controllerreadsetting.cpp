#include "atcomm/controllerreadsetting.h"

#include "atcomm/replyparser.h"
#include "core/parseint.h"

CControllerReadSetting::CControllerReadSetting()
    : CControllerBase(stWORKER_STEP, "CControllerReadSetting", kReplyTimeoutMs, kDescriptionKey) {}

void CControllerReadSetting::DoAction(uint8_t action) {
    if (action != 0) {
        return;
    }
    if (Exchange("AT+CPBR=" + IntToStr(position) + "\r", kCommandPauseMs) &&
        ReplyContains("OK\r\n")) {
        value = ParseQuotedValue(GetReply(), position);
        Finish(resultOk);
        return;
    }
    --attemptsLeft;
    if (attemptsLeft < 1) {
        Finish(resultFailed);
    }
}
