#include "seriallink/trafficlog.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "core/localtime.h"

namespace {

// A command that carries SIM codes, and which of its parameters (counted from 0) are codes.
struct CCodeCommand {
    std::string_view prefix;
    int firstCode;
    int lastCode;
};

// AT+CPIN=<pin> or <puk>,<newpin>; AT+CPIN2 alike; AT+CLCK=<fac>,<mode>,<passwd>[,<class>];
// AT+CPWD=<fac>,<oldpwd>,<newpwd>.
constexpr std::array<CCodeCommand, 4> kCodeCommands = {{
    {"AT+CPIN=", 0, 1},
    {"AT+CPIN2=", 0, 1},
    {"AT+CLCK=", 2, 2},
    {"AT+CPWD=", 1, 2},
}};

std::string Upper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return upper;
}

// Masks the code parameters of the command whose parameters start at `from`, up to the end of
// its line.
void MaskParameters(std::string& line, std::size_t from, const CCodeCommand& command) {
    int parameter = 0;
    bool quoted = false;
    for (std::size_t i = from; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '\r' || c == '\n') {
            return;
        }
        if (c == '"') {
            quoted = !quoted;
        } else if (c == ',' && !quoted) {
            ++parameter;
        } else if (parameter >= command.firstCode && parameter <= command.lastCode) {
            line[i] = '*';
        }
    }
}

constexpr char kHexDigits[] = "0123456789ABCDEF";

}  // namespace

CTrafficLog::CTrafficLog(std::size_t byteBound) : bound(byteBound) {}

void CTrafficLog::SetSink(std::ostream* stream) {
    std::lock_guard guard(mutex);
    sink = stream;
    sinkFailed = false;
}

bool CTrafficLog::SinkFailed() const {
    std::lock_guard guard(mutex);
    return sinkFailed;
}

std::string CTrafficLog::MaskCodes(std::string line) {
    // Most lines hold no code at all; the upper-case copy is made only for those that might.
    if (line.find('=') == std::string::npos) {
        return line;
    }
    const std::string upper = Upper(line);
    for (const CCodeCommand& command : kCodeCommands) {
        for (std::size_t at = upper.find(command.prefix); at != std::string::npos;
             at = upper.find(command.prefix, at + 1)) {
            MaskParameters(line, at + command.prefix.size(), command);
        }
    }
    return line;
}

std::string CTrafficLog::Show(std::string_view bytes) {
    const std::string masked = MaskCodes(std::string(bytes));
    std::string shown;
    shown.reserve(masked.size() + 16);
    for (const char c : masked) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\r') {
            shown += "<CR>";
        } else if (c == '\n') {
            shown += "<LF>";
        } else if (c == '\x1B') {
            shown += "<ESC>";
        } else if (c == '\x1A') {
            shown += "<SUB>";
        } else if (byte < 0x20 || byte >= 0x7F || c == '<') {
            shown += '<';
            shown += kHexDigits[byte >> 4];
            shown += kHexDigits[byte & 0x0F];
            shown += '>';
        } else {
            shown += c;
        }
    }
    return shown;
}

void CTrafficLog::Add(Clock::time_point time, std::string_view mark, const std::string& text) {
    std::string line = ClockTimeMs(time);
    line += ' ';
    line += mark;
    line += ' ';
    line += text;
    ++lastNumber;
    if (sink != nullptr && !sinkFailed) {
        *sink << line << '\n';
        sink->flush();
        sinkFailed = !sink->good();
    }
    if (bound == 0) {
        return;
    }
    keptBytes += line.size() + 1;
    lines.push_back({lastNumber, std::move(line)});
    while (keptBytes > bound && !lines.empty()) {
        keptBytes -= lines.front().text.size() + 1;
        lines.pop_front();
    }
}

void CTrafficLog::FlushReceived() {
    if (pending.empty()) {
        return;
    }
    Add(pendingSince, "<-", Show(pending));
    pending.clear();
    pendingHasText = false;
}

void CTrafficLog::DropBefore(uint64_t number) {
    while (!lines.empty() && lines.front().number < number) {
        keptBytes -= lines.front().text.size() + 1;
        lines.pop_front();
    }
}

void CTrafficLog::Opened(const std::string& portName) {
    const Clock::time_point now = Clock::now();
    std::lock_guard guard(mutex);
    FlushReceived();
    // The connection before this one stays, for comparing a unit with the one before it.
    DropBefore(currentStart);
    currentStart = lastNumber + 1;
    ++generation;
    speaker.clear();
    Add(now, "==", Show(portName) + " opened " + IsoLocalTime(now));
}

void CTrafficLog::Closed() {
    const Clock::time_point now = Clock::now();
    std::lock_guard guard(mutex);
    FlushReceived();
    speaker.clear();
    Add(now, "==", "closed");
}

void CTrafficLog::Speaker(std::string_view controllerName) {
    std::lock_guard guard(mutex);
    if (controllerName == speaker) {
        return;
    }
    speaker = controllerName;
    FlushReceived();
    Add(Clock::now(), "--", Show(controllerName));
}

void CTrafficLog::Sent(std::string_view bytes) {
    const Clock::time_point now = Clock::now();
    std::lock_guard guard(mutex);
    // What arrived without a line end (the text prompt) is complete once the tool answers it.
    FlushReceived();
    for (std::size_t from = 0; from < bytes.size(); from += kMaxLineBytes) {
        Add(now, "->", Show(bytes.substr(from, kMaxLineBytes)));
    }
}

void CTrafficLog::Received(std::string_view bytes) {
    const Clock::time_point now = Clock::now();
    std::lock_guard guard(mutex);
    for (const char c : bytes) {
        if (pending.empty()) {
            pendingSince = now;
        }
        pending += c;
        if (c != '\r' && c != '\n') {
            pendingHasText = true;
        }
        if ((c == '\n' && pendingHasText) || pending.size() >= kMaxLineBytes) {
            FlushReceived();
        }
    }
}

std::vector<std::string> CTrafficLog::LinesAfter(uint64_t after, uint64_t& last) const {
    std::lock_guard guard(mutex);
    last = lastNumber;
    std::vector<std::string> found;
    // Numbers rise by one along the deque, so the first wanted line is found by arithmetic.
    const uint64_t first = lines.empty() ? 0 : lines.front().number;
    const std::size_t skip =
        lines.empty() || after < first ? 0 : static_cast<std::size_t>(after - first + 1);
    for (std::size_t i = std::min(skip, lines.size()); i < lines.size(); ++i) {
        found.push_back(lines[i].text);
    }
    return found;
}

uint64_t CTrafficLog::Generation() const {
    std::lock_guard guard(mutex);
    return generation;
}

std::string CTrafficLog::Text() const {
    std::lock_guard guard(mutex);
    std::string text;
    text.reserve(keptBytes);
    for (const CLine& line : lines) {
        text += line.text;
        text += '\n';
    }
    return text;
}

std::size_t CTrafficLog::KeptBytes() const {
    std::lock_guard guard(mutex);
    return keptBytes;
}
