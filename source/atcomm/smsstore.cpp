#include "atcomm/smsstore.h"

#include "atcomm/replyparser.h"
#include "core/textutils.h"

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
    return reply.find("\r\nOK\r\n") != std::string::npos &&
           reply.find("+CMGW:") != std::string::npos && ParseStoredIndex(reply) == index;
}
