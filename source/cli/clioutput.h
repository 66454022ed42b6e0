#pragma once

#include <mutex>
#include <ostream>
#include <string>
#include <string_view>

// Where the units' threads report: progress lines on one stream (standard error), result
// lines on the other (standard output). Whole lines only, each flushed at once, so the lines of
// units served at the same time never mix. Texts are UTF-8; a language text is converted with
// Text() first. Nothing a file or a device supplied may steer the terminal: every control
// character (C0, DEL, C1, ESC above all) and every byte that is not well-formed UTF-8 reaches
// the streams as U+FFFD instead.
class CCliOutput {
public:
    CCliOutput(std::ostream& results, std::ostream& progress)
        : results(results), progress(progress) {}

    void Progress(const std::string& line);
    void Result(const std::string& line);

    // A Windows-1252 text of the core (a language text) for the terminal, on one line: line
    // breaks and tabs inside it become blanks, other control characters U+FFFD.
    static std::string Text(const std::string& win1252);
    // A text that is UTF-8 already (an exception's message, which names files and ports as
    // the command line gave them), on one line in the same way.
    static std::string OneLine(const std::string& utf8);
    // `utf8` with each control character and each byte that is no part of well-formed UTF-8
    // replaced by U+FFFD.
    static std::string Printable(std::string_view utf8);

private:
    void Write(std::ostream& stream, const std::string& line);

    std::mutex mutex;
    std::ostream& results;
    std::ostream& progress;
};
