#include "seriallink/comport.h"

#include <algorithm>
#include <cctype>
#include <iterator>

// What the port class does the same way on every platform: reading mode strings and ordering
// port names. The device itself is in the platform's own file.

namespace {

// The rates every platform's driver can be asked for by number.
constexpr uint32_t kBaudRates[] = {
    50,     75,     110,     134,     150,     200,     300,     600,     1200,    1800,
    2400,   4800,   9600,    19200,   38400,   57600,   115200,  230400,  460800,  500000,
    576000, 921600, 1000000, 1152000, 1500000, 2000000, 2500000, 3000000, 3500000, 4000000,
};

std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool ParseNumber(const std::string& text, uint32_t& value) {
    if (text.empty() || text.size() > 9 ||
        !std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); })) {
        return false;
    }
    value = static_cast<uint32_t>(std::stoul(text));
    return true;
}

bool SetBaud(const std::string& text, CComPort::CLineSettings& line) {
    uint32_t baud = 0;
    if (!ParseNumber(text, baud)) {
        return false;
    }
    if (std::find(std::begin(kBaudRates), std::end(kBaudRates), baud) == std::end(kBaudRates)) {
        return false;
    }
    line.baud = baud;
    return true;
}

// Mark and space parity have no portable termios form, so they are refused on every platform
// like any other letter the line cannot do: a mode string means the same wherever it is used.
bool SetParity(const std::string& text, CComPort::CLineSettings& line) {
    const std::string p = Lower(text);
    if (p != "n" && p != "e" && p != "o") {
        return false;
    }
    line.parity = p[0];
    return true;
}

bool SetDataBits(const std::string& text, CComPort::CLineSettings& line) {
    uint32_t bits = 0;
    if (!ParseNumber(text, bits) || bits < 5 || bits > 8) {
        return false;
    }
    line.dataBits = static_cast<int>(bits);
    return true;
}

bool SetStopBits(const std::string& text, CComPort::CLineSettings& line) {
    if (text != "1" && text != "2") {
        return false;
    }
    line.stopBits = text[0] - '0';
    return true;
}

// "57600,n,8,1"; trailing fields may be left out and then mean no parity, 8 data bits, 1 stop
// bit.
std::optional<CComPort::CLineSettings> ParseCommaMode(const std::string& mode) {
    std::vector<std::string> fields;
    std::string::size_type start = 0;
    for (;;) {
        const auto comma = mode.find(',', start);
        fields.push_back(Trim(mode.substr(start, comma - start)));
        if (comma == std::string::npos) {
            break;
        }
        start = comma + 1;
    }
    if (fields.size() > 4) {
        return std::nullopt;
    }
    CComPort::CLineSettings line;
    bool (*const setters[])(const std::string&, CComPort::CLineSettings&) = {
        SetBaud, SetParity, SetDataBits, SetStopBits};
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (!setters[i](fields[i], line)) {
            return std::nullopt;
        }
    }
    return line;
}

}  // namespace

// What both platforms' ports do alike, over their own ReleaseDevice and handle wait.

void CComPort::FailOpen(const char* message) {
    ReleaseDevice();
    throw EComPortException(message);
}

bool CComPort::WaitReadable(uint32_t timeoutMs) const {
    return opened && WaitReadable(handle, timeoutMs);
}

std::optional<CComPort::CLineSettings> CComPort::ParseMode(const std::string& modeString) {
    return ParseCommaMode(Trim(modeString));
}

bool CComPort::PortNameLess(const std::string& a, const std::string& b) {
    const auto split = [](const std::string& name) {
        std::size_t digits = name.size();
        while (digits > 0 && std::isdigit(static_cast<unsigned char>(name[digits - 1]))) {
            --digits;
        }
        return digits;
    };
    const std::size_t da = split(a);
    const std::size_t db = split(b);
    const int byStem = a.compare(0, da, b, 0, db);
    if (byStem != 0) {
        return byStem < 0;
    }
    // Same stem: compare the numbers by length first, so long digit runs cannot overflow.
    const auto number = [](const std::string& name, std::size_t from) {
        const auto nonZero = name.find_first_not_of('0', from);
        return nonZero == std::string::npos ? std::string() : name.substr(nonZero);
    };
    const std::string na = number(a, da);
    const std::string nb = number(b, db);
    if (na.size() != nb.size()) {
        return na.size() < nb.size();
    }
    if (na != nb) {
        return na < nb;
    }
    return a < b;
}
