#include "atcomm/replyparser.h"

#include "core/parseint.h"
#include "core/textutils.h"

std::optional<EPinKind> ParsePinStatus(const std::string& reply) {
    const auto contains = [&reply](const char* text) {
        return reply.find(text) != std::string::npos;
    };
    // The two-codes are looked for first: "+CPIN: SIM PIN" is the start of "+CPIN: SIM PIN2".
    if (contains("+CPIN: READY")) {
        return EPinKind::Ready;
    }
    if (contains("+CPIN: SIM PIN2")) {
        return EPinKind::SimPin2;
    }
    if (contains("+CPIN: SIM PUK2")) {
        return EPinKind::SimPuk2;
    }
    if (contains("+CPIN: SIM PIN")) {
        return EPinKind::SimPin;
    }
    if (contains("+CPIN: SIM PUK")) {
        return EPinKind::SimPuk;
    }
    return std::nullopt;
}

std::optional<int32_t> ParseTriesLeft(const std::string& reply) {
    static const std::string key = "^SPIC: ";
    if (reply.find(key) == std::string::npos) {
        return std::nullopt;
    }
    return ParseInt(GetValueAfter(key, '\r', reply), -1);
}

int32_t ParsePhonebookCapacity(const std::string& reply) {
    const int from = PositionAfter(reply, ',', 2);
    const int to = PositionAfter(reply, '\r', 2);
    // `to` is just after the carriage return, so the total ends two positions before it.
    const int length = to - 1 - from;
    if (length <= 0) {
        return 0;
    }
    return ParseInt(
        reply.substr(static_cast<std::size_t>(from - 1), static_cast<std::size_t>(length)), 0);
}

bool IsValidPhonebookCapacity(int32_t capacity) {
    return capacity >= 1 && capacity <= kMaxPhonebookCapacity;
}

std::string ParseQuotedValue(const std::string& reply) {
    return GetValueAfter(",\"", '"', reply);
}

std::string ParseSignalQuality(const std::string& reply) {
    static const std::string key = "+CSQ: ";
    if (reply.find(key) == std::string::npos) {
        return "-1";
    }
    return GetValueAfter(key, ',', reply);
}

std::string ParseRegistrationStatus(const std::string& reply) {
    static const std::string key = "+CREG: ";
    const std::size_t at = reply.find(key);
    if (at == std::string::npos) {
        return "0";
    }
    // The status is the second field in every presentation mode; the mode comes first, and
    // mode 2 adds the location after the status.
    const std::size_t comma = reply.find(',', at + key.size());
    if (comma == std::string::npos) {
        return {};
    }
    const std::size_t end = reply.find_first_of(",\r", comma + 1);
    return reply.substr(comma + 1, end == std::string::npos ? std::string::npos : end - comma - 1);
}

int32_t ParseStoredIndex(const std::string& reply) {
    const int32_t index = ParseInt(GetValueAfter("+CMGW: ", '\r', reply), -1);
    return index < 1 ? -1 : index;
}
