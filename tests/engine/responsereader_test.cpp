#include "engine/responsereader.h"

#include <gtest/gtest.h>

#include <time.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "core/event.h"
#include "core/refobject.h"
#include "seriallink/comport.h"
#include "support/ptypair.h"
#include "support/scriptedsource.h"
#include "support/waituntil.h"

namespace {

using Clock = std::chrono::steady_clock;
using Ms = std::chrono::milliseconds;

Ms TimedRead(IResponseReader& reader, ICommSource* source) {
    const auto from = Clock::now();
    reader.Read(source);
    return std::chrono::duration_cast<Ms>(Clock::now() - from);
}

struct Piece {
    int atMs;
    std::string bytes;
};

CRefPtr<ScriptedSource> Script(const std::vector<Piece>& pieces) {
    auto source = MakeRef<ScriptedSource>();
    for (const auto& piece : pieces) {
        source->AddChunk(Ms(piece.atMs), piece.bytes);
    }
    return source;
}

std::string Joined(const std::vector<Piece>& pieces) {
    std::string all;
    for (const auto& piece : pieces) {
        all += piece.bytes;
    }
    return all;
}

// How a read ends: only a final result of exactly "OK" (the last line apart from unsolicited
// reports, and not message text) completes a reply, about 5 ms after the last bytes. Anything else
// runs into the time-out, which counts from the call while nothing came, from the first bytes until
// the first line end, and from the latest bytes after that; the text is kept either way. One reader
// serves every row, so neither a time-out nor a text may carry over into the next read.
TEST(GeneralResponseReader, EndsOnlyOnAFinalOkOrTheTimeOut) {
    struct Case {
        uint32_t timeout;
        bool timedOut;
        int endsNearMs;  // no sooner
        std::vector<Piece> pieces;
        const char* kept = nullptr;  // when not every byte sent
    };
    const std::vector<Case> cases = {
        // Stopping exactly at the time-out is a time-out too; with 0 the clock always shows it.
        {0, true, 0, {{0, "AT+CPIN?\r\r\nERROR\r\n"}}},
        {2000, false, 25, {{20, "\r\nOK\r\n"}}},
        {1, true, 1, {{0, "\r\n+CME ERROR: 16\r\n"}}},
        {2, true, 2, {{0, "\r\n> "}}},
        {2000, false, 85, {{0, "\r\n+CPBR: 64,\"1\",129,\"\"\r\n\r\nO"}, {40, "K"}, {80, "\r\n"}}},
        {60, true, 60, {{0, "OK\r\n"}}},
        // gaps longer than the time-out in total
        {1000, false, 1405, {{0, "\r\nA\r\n"}, {700, "B\r\n"}, {1400, "\r\nOK\r\n"}}},
        {60, true, 60, {{0, "\r\nNOK\r\n"}}},
        // a stored message whose text is "OK", then one whose text ends in it
        {2000,
         false,
         95,
         {{0, "\r\n+CMGL: 1,\"STO UNSENT\",\"123\",,\r\n"},
          {30, "OK\r\n"},
          {60, "+CMGL: 2,\"STO UNSENT\",\"456\",,\r\nPOWER OK\r\n"},
          {90, "\r\nOK\r\n"}}},
        {60, true, 60, {{0, "\r\nOK"}}},
        {60, true, 60, {{0, "\r\nOK\r\nMORE\r\n"}}},
        // Unsolicited reports are no final result and do not hide one: OK then RING, a report
        // between the lines and after the OK, one still arriving after it.
        {2000, false, 25, {{20, "\r\nOK\r\n\r\nRING\r\n"}}},
        {2000,
         false,
         5,
         {{0,
           "\r\n+CREG: 1,\"5E25\",\"605F\"\r\n\r\n+CSQ: 17,99\r\n\r\nOK\r\n\r\n+CMTI: "
           "\"SM\",3\r\n"}}},
        {2000, false, 45, {{0, "\r\nOK\r\n\r\nRI"}, {40, "NG\r\n"}}},
        {60, true, 60, {{0, "\r\nERROR\r\n\r\nRING\r\n"}}},
        {60, true, 60, {{0, "\r\nRING\r\n\r\n+CREG: 5\r\n"}}},
        // A message shown directly whose text is "OK", after an error: its text is no result.
        {60,
         true,
         60,
         {{0, "\r\nERROR\r\n\r\n+CMT: \"+4670\",,\"24/05/01,12:00:00+08\"\r\nOK\r\n"}}},
        // A listed message whose text is "OK", then a report: the listing is not over.
        {60, true, 60, {{0, "\r\n+CMGL: 1,\"STO UNSENT\",\"123\",,\r\nOK\r\n\r\nRING\r\n"}}},
        // the time-out counts from the call, from the first bytes, from the latest bytes
        {100, true, 100, {{200, "\r\nOK\r\n"}}, ""},
        {100, true, 100, {{0, "AB"}, {60, "CD"}, {130, "EF\r\n"}}, "ABCD"},
        {100, true, 280, {{0, "\r\nA"}, {60, "B"}, {120, "C"}, {180, "D"}}},
    };
    CGeneralResponseReader reader;
    for (const auto& c : cases) {
        SCOPED_TRACE(Joined(c.pieces));
        auto source = Script(c.pieces);
        reader.SetTimeout(c.timeout);
        const Ms took = TimedRead(reader, source.get());
        EXPECT_EQ(reader.IsTimedOut(), c.timedOut);
        EXPECT_EQ(reader.GetResponse(), c.kept != nullptr ? c.kept : Joined(c.pieces));
        EXPECT_GE(took, Ms(c.endsNearMs));
        if (!c.timedOut) {
            // Sooner than a time-out after the last bytes: ended by the final OK.
            EXPECT_LT(took, Ms(c.endsNearMs + c.timeout));
        }
        EXPECT_LT(source->ReadCalls(), 20 + 2 * static_cast<std::size_t>(took.count()))
            << "sleeps between polls";
    }
}

// A device that never stops talking ends the read as timed out: after the byte bound, or
// after max(floor, 3 x time-out) in total.
TEST(GeneralResponseReader, EndlessTalkerIsBounded) {
    std::string flood;
    while (flood.size() < 4 * CGeneralResponseReader::kMaxReplyBytes) {
        flood += "+CMGL: 1,\"REC READ\",\"123\",,\r\nHELLO\r\n";
    }
    auto source = MakeRef<ScriptedSource>();
    source->Push(flood);
    CGeneralResponseReader reader;
    reader.SetTimeout(2000);
    EXPECT_LT(TimedRead(reader, source.get()), Ms(2000));
    EXPECT_TRUE(reader.IsTimedOut());
    EXPECT_EQ(reader.GetResponse().size(), CGeneralResponseReader::kMaxReplyBytes);
    EXPECT_TRUE(flood.starts_with(reader.GetResponse()));

    const auto talkEndlessly = [&reader](uint32_t timeout, uint32_t floor, int endsNearMs) {
        SCOPED_TRACE(endsNearMs);
        auto talker = MakeRef<ScriptedSource>();
        // Talking for a minute: a read without its total bound would last as long.
        talker->AddRepeating("\r\nRING\r\n", Ms(10), Ms(60000));
        reader.SetTimeout(timeout);
        reader.SetLimits(CGeneralResponseReader::kMaxReplyBytes, floor);
        const Ms took = TimedRead(reader, talker.get());
        EXPECT_TRUE(reader.IsTimedOut());
        EXPECT_TRUE(reader.GetResponse().starts_with("\r\nRING\r\n\r\nRING\r\n"));
        EXPECT_GE(took, Ms(endsNearMs));
        EXPECT_LT(took, Ms(20000));
    };
    talkEndlessly(100, 0, 300);
    talkEndlessly(50, 400, 400);
}

// The prompt reader stops at the first byte that completes the expected text and leaves
// everything after it in the port; without the text it times out and keeps its previous
// response.
TEST(GeneralStringReader, StopsRightAfterTheExpectedText) {
    struct Case {
        const char* expected;
        bool timedOut;
        std::size_t unread;
        int endsNearMs;
        std::string response;
        std::vector<Piece> pieces;
    };
    const std::vector<Case> cases = {
        {">", false, 12, 0, "AT+CMGW=\"1\"\r\r\n>", {{0, "AT+CMGW=\"1\"\r\r\n> extra bytes"}}},
        {">", false, 1, 50, "\r\n>", {{0, "\r\n"}, {50, "> "}}},
        {"\r\n> ", false, 7, 60, "W\r\r\n> ", {{0, "W\r\r"}, {30, "\n>"}, {60, " \r\n+CMGW"}}},
        {">", true, 0, 100, "W\r\r\n> ", {{0, "\r\nERROR\r\n"}}},
    };
    CGeneralStringReader reader;
    for (const auto& c : cases) {
        SCOPED_TRACE(Joined(c.pieces));
        auto source = Script(c.pieces);
        reader.SetExpected(c.expected);
        // Rows that find the text get a time-out they could not reach by accident.
        reader.SetTimeout(c.timedOut ? 100 : 20000);
        const Ms took = TimedRead(reader, source.get());
        EXPECT_EQ(reader.IsTimedOut(), c.timedOut);
        EXPECT_EQ(reader.GetResponse(), c.response);
        EXPECT_GE(took, Ms(c.endsNearMs));
        EXPECT_EQ(source->Unread(), c.unread);
        EXPECT_LT(source->ReadCalls(),
                  Joined(c.pieces).size() + 20 + 2 * static_cast<std::size_t>(took.count()));
    }
}

// The readers against the real port, with the test playing the module on the far end of a
// pseudo-terminal.
class ReaderOnPort : public ::testing::Test {
protected:
    void SetUp() override {
        auto port = std::make_unique<CComPort>();
        port->SetPortName(pty.SlavePath());
        port->SetSettings("57600,n,8,1");
        source->SetPort(std::move(port));
        source->Open();
    }

    PtyPair pty;
    CRefPtr<CComPortCommSource> source = MakeRef<CComPortCommSource>();
    std::jthread module;  // declared last: joined before the port goes
};

// The port, with the time of every wait the reader asks of it added up.
class WaitCountingSource : public ICommSource {
public:
    explicit WaitCountingSource(ICommSource& port) : port(port) {}
    void Write(const char* buffer, uint32_t count) override { port.Write(buffer, count); }
    void Read(char* buffer, uint32_t count, uint32_t& received) override {
        port.Read(buffer, count, received);
    }
    bool IsOpen() override { return port.IsOpen(); }
    void Open() override { port.Open(); }
    void Close() override { port.Close(); }
    void WaitForData(uint32_t timeoutMs) override {
        askedMs += timeoutMs;
        port.WaitForData(timeoutMs);
    }

    uint32_t askedMs = 0;

private:
    ICommSource& port;
};

// A complete reply ends the read just over 5 ms after its last byte, every command: the quiet
// period is timed to the fraction of a millisecond, and the last wait asks only for what is
// left of it, rounded up to the millisecond, never for a whole further slice. What the reader
// asks for is counted rather than the time it took, which a loaded machine stretches: each
// wait lasts at least what was asked, so the waits asked for add up to less than the quiet
// period and one millisecond however slow the machine is.
TEST_F(ReaderOnPort, ACompleteReplyEndsJustAfterTheQuietPeriod) {
    constexpr Ms kQuiet{5};
    CGeneralResponseReader reader;
    reader.SetTimeout(1000);
    for (int i = 0; i < 10; ++i) {
        pty.WriteToPort("\r\nOK\r\n");
        ASSERT_TRUE(WaitUntil([&] { return source->GetPort()->WaitReadable(0); }));
        auto counting = MakeRef<WaitCountingSource>(*source);
        const auto from = Clock::now();
        reader.Read(counting.get());
        const auto took = Clock::now() - from;
        ASSERT_FALSE(reader.IsTimedOut());
        EXPECT_EQ(reader.GetResponse(), "\r\nOK\r\n");
        EXPECT_GT(took, kQuiet);
        EXPECT_LT(Ms(counting->askedMs), kQuiet + Ms(1));
    }
}

// Waiting on a module that has said all it will sleeps in the port: an error reply runs into
// the full time-out with its text kept, and neither reader spins meanwhile.
TEST_F(ReaderOnPort, ErrorReplyAndSilenceAreWaitedForWithoutSpinning) {
    const auto cpuNow = [] {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return Ms(t.tv_sec * 1000 + t.tv_nsec / 1000000);
    };
    CGeneralResponseReader general;
    CGeneralStringReader prompt;
    prompt.SetExpected(">");
    IResponseReader* const readers[] = {&general, &prompt};
    for (IResponseReader* reader : readers) {
        pty.WriteToPort("\r\n+CMS ERROR: 321\r\n");
        reader->SetTimeout(200);
        const Ms cpuBefore = cpuNow();
        const Ms took = TimedRead(*reader, source.get());
        EXPECT_LT(cpuNow() - cpuBefore, took / 4);
        EXPECT_TRUE(reader->IsTimedOut());
        EXPECT_GE(took, Ms(200));
    }
    EXPECT_EQ(general.GetResponse(), "\r\n+CMS ERROR: 321\r\n");
}

}  // namespace
