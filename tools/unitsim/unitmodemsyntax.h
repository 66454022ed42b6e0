#pragma once

// The pieces of AT command syntax and the SIM's fixed numbers that the simulated module's
// command handlers share across its source files.

#include <cctype>
#include <string>

namespace unitmodemsyntax {

inline constexpr int kPinTries = 3;
inline constexpr int kPukTries = 10;
inline constexpr const char* kListStatuses[] = {"REC UNREAD", "REC READ", "STO UNSENT", "STO SENT",
                                                "ALL"};

inline std::string Upper(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return text;
}

inline bool IsDigits(const std::string& text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

inline bool IsCode(const std::string& code) {
    return code.size() >= 4 && code.size() <= 8 && IsDigits(code);
}

inline bool IsDialString(const std::string& number) {
    for (std::size_t i = 0; i < number.size(); ++i) {
        const char c = number[i];
        if (!((c >= '0' && c <= '9') || c == '*' || c == '#' || (c == '+' && i == 0))) {
            return false;
        }
    }
    return true;
}

inline bool IsReceived(const std::string& status) {
    return status.rfind("REC", 0) == 0;
}

inline bool IsListStatus(const std::string& status) {
    return std::find(std::begin(kListStatuses), std::end(kListStatuses), status) !=
           std::end(kListStatuses);
}

inline bool ToInt(const std::string& text, int& value) {
    if (!IsDigits(text) || text.size() > 9) {
        return false;
    }
    value = std::stoi(text);
    return true;
}

}  // namespace unitmodemsyntax
