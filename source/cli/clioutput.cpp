#include "cli/clioutput.h"

#include "core/win1252.h"

void CCliOutput::Progress(const std::string& line) {
    Write(progress, line);
}

void CCliOutput::Result(const std::string& line) {
    Write(results, line);
}

void CCliOutput::Write(std::ostream& stream, const std::string& line) {
    std::lock_guard guard(mutex);
    stream << line << '\n';
    stream.flush();
}

std::string CCliOutput::Text(const std::string& win1252) {
    return OneLine(Win1252ToUtf8(win1252));
}

std::string CCliOutput::OneLine(const std::string& utf8) {
    std::string text;
    for (const char c : utf8) {
        const bool lineBreak = c == '\r' || c == '\n';
        if (!lineBreak) {
            text += c;
        } else if (!text.empty() && text.back() != ' ') {
            text += ' ';
        }
    }
    while (!text.empty() && text.back() == ' ') {
        text.pop_back();
    }
    return text;
}
