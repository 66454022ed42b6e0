#include "atcomm/smsstore.h"

#include "atcomm/replyparser.h"
#include "core/textutils.h"
#include "engine/replylines.h"

std::string SmsHeaderCommand(const std::string& number) {
    if (number.empty()) {
        return "AT+CMGW\r";
    }
    return "AT+CMGW=\"" + number + "\"\r";
}

std::string SmsTextCommand(const std::string& text) {
    return EscapeForTextEntry(AnsiToGsm(text)) + '\x1A';
}

bool IsStoredAt(const std::string& reply, int32_t index) {
    return index >= 1 && ParseStoredIndex(reply) == index && CReplyLines(reply).EndsWithFinalOk();
}
