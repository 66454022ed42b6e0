#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "seriallink/commsource.h"

// The communication log: every byte that went over the port, for support. Each line starts
// with the local time to the millisecond and a direction mark:
//
//   12:34:56.789 == /dev/ttyUSB0 opened 2024-05-01T12:34:56+02:00
//   12:34:56.790 -- CControllerConnectionCheck      (the controller whose commands follow)
//   12:34:56.791 -> ATI<CR>                         (one line per write)
//   12:34:56.803 <- <CR><LF>SIEMENS<CR><LF>         (one line per reply line)
//   12:35:10.001 == closed
//
// The bytes are shown as they went, so that nothing is hidden: printable ASCII as itself, CR
// and LF as <CR> and <LF>, ESC and Ctrl-Z as <ESC> and <SUB>, and every other byte (control
// bytes, bytes from 0x7F up, and "<" itself) as <XX> in upper-case hex. A received line ends
// with the line feed that follows its text, so the blank line end that frames every reply is
// shown with the line it comes before; a line still open when the tool writes again (the text
// prompt "> ") is shown as it stands. SIM codes never reach the log: the code parameters of
// AT+CPIN, AT+CPIN2, AT+CLCK and AT+CPWD, sent or echoed, are shown as one "*" per character.
//
// The lines are kept in memory up to a bound, the oldest going first, and only those of the
// current and the previous connection: the next connection's opening drops the rest. A sink
// can take every line as it is made (the command line's trace file). Every call is
// thread-safe; the tap's calls come from the port's users under its lock.
class CTrafficLog : public ICommTap {
public:
    static constexpr std::size_t kDefaultBound = std::size_t{2} << 20;
    // A line is cut after this many bytes, so a device that never ends its line still shows.
    static constexpr std::size_t kMaxLineBytes = 1024;

    // `byteBound`: how many bytes of lines (each counted with its line end) are kept in
    // memory; 0 keeps none, for a log that only feeds its sink.
    explicit CTrafficLog(std::size_t byteBound = kDefaultBound);

    // Every finished line is written to `stream`, with "\n", and flushed at once, so that the
    // trace holds everything up to a crash. Lent; null for none.
    void SetSink(std::ostream* stream);
    // Whether writing to the sink has failed.
    bool SinkFailed() const;

    void Opened(const std::string& portName) override;
    void Closed() override;
    void Sent(std::string_view bytes) override;
    void Received(std::string_view bytes) override;
    void Speaker(std::string_view controllerName) override;

    // The lines after line number `after` (every kept one for 0), oldest first; `last` is set
    // to the number of the newest line made so far. Numbers go up by one per line for the
    // log's whole life.
    std::vector<std::string> LinesAfter(uint64_t after, uint64_t& last) const;
    // Changes whenever lines are dropped because a connection opened, so a viewer knows to
    // show the log afresh.
    uint64_t Generation() const;
    // Every kept line, each followed by "\n".
    std::string Text() const;
    // Bytes kept, as the bound counts them.
    std::size_t KeptBytes() const;

    // How the log shows `bytes`, codes masked.
    static std::string Show(std::string_view bytes);
    // `line` with the SIM codes of the commands it holds replaced by "*" per character.
    static std::string MaskCodes(std::string line);

private:
    using Clock = std::chrono::system_clock;

    struct CLine {
        uint64_t number;
        std::string text;
    };

    void Add(Clock::time_point time, std::string_view mark, const std::string& text);
    void FlushReceived();
    void DropBefore(uint64_t number);

    const std::size_t bound;
    mutable std::mutex mutex;
    std::ostream* sink = nullptr;
    bool sinkFailed = false;
    std::deque<CLine> lines;
    std::size_t keptBytes = 0;
    uint64_t lastNumber = 0;
    uint64_t generation = 0;
    // The first line of the current connection, 0 before the first.
    uint64_t currentStart = 0;
    std::string speaker;
    // A received line still arriving, as raw bytes, and when its first byte came.
    std::string pending;
    bool pendingHasText = false;
    Clock::time_point pendingSince;
};
