#pragma once

#include <mutex>
#include <ostream>
#include <string>

// Where the units' threads report: progress lines on one stream (standard error), result
// lines on the other (standard output). Whole lines only, each flushed at once, so the lines of
// units served at the same time never mix. Texts are UTF-8; a language text is converted with
// Text() first.
class CCliOutput {
public:
    CCliOutput(std::ostream& results, std::ostream& progress)
        : results(results), progress(progress) {}

    void Progress(const std::string& line);
    void Result(const std::string& line);

    // A Windows-1252 text of the core (a language text) for the terminal, on one line: line
    // breaks inside it become blanks.
    static std::string Text(const std::string& win1252);
    // A text that is UTF-8 already (an exception's message, which names files and ports as
    // the command line gave them), on one line.
    static std::string OneLine(const std::string& utf8);

private:
    void Write(std::ostream& stream, const std::string& line);

    std::mutex mutex;
    std::ostream& results;
    std::ostream& progress;
};
