#include "engine/responsereader.h"

#include <gtest/gtest.h>

#include <time.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
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

// Generous upper margin: the suite runs in parallel on small machines.
constexpr Ms kSlack{500};

Ms Since(Clock::time_point from) {
    return std::chrono::duration_cast<Ms>(Clock::now() - from);
}

// Runs one read and measures how long it took.
template <class Reader>
Ms TimedRead(Reader& reader, ICommSource* source) {
    const auto from = Clock::now();
    reader.Read(source);
    return Since(from);
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

struct ReplyCase {
    const char* name;
    std::vector<Piece> pieces;
};

// Replies that end in a final "OK" line: the read ends shortly after the last piece, with
// every byte, even when pieces are far apart compared with the quiet period.
TEST(GeneralResponseReader, CompleteReplyEndsAfterTheQuietPeriod) {
    const std::vector<ReplyCase> cases = {
        {"bare ok", {{20, "\r\nOK\r\n"}}},
        {"echo and data lines",
         {{0, "ATI\r"}, {10, "\r\nSIEMENS\r\nMC35i\r\nREVISION 02.00\r\n"}, {30, "\r\nOK\r\n"}}},
        {"ok split in the middle",
         {{0, "AT+CPBR=64\r\r\n+CPBR: 64,\"1\",129,\"\"\r\n\r\nO"}, {40, "K"}, {80, "\r\n"}}},
        {"pieces with gaps longer than the time-out in total",
         {{0, "\r\n+CPBR: 1,\"111\",129,\"A\"\r\n"},
          {120, "\r\n+CPBR: 2,\"222\",129,\"B\"\r\n"},
          {240, "\r\n+CPBR: 3,\"333\",129,\"C\"\r\n"},
          {360, "\r\nOK\r\n"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto source = Script(c.pieces);
        CGeneralResponseReader reader;
        reader.SetTimeout(200);
        const Ms took = TimedRead(reader, source.get());
        EXPECT_FALSE(reader.IsTimedOut());
        EXPECT_EQ(reader.GetResponse(), Joined(c.pieces));
        EXPECT_GT(took, Ms(c.pieces.back().atMs + 5));
        EXPECT_LT(took, Ms(c.pieces.back().atMs) + Ms(200));
    }
}

// Anything but a final "OK" line runs into the full time-out and is kept for the controller.
TEST(GeneralResponseReader, OtherEndingsTimeOutWithTheTextKept) {
    const std::vector<std::string> replies = {
        "AT+CPIN?\r\r\nERROR\r\n",
        "\r\n+CME ERROR: 16\r\n",
        "\r\n> ",
        "OK\r\n",             // a final result needs its own line
        "\r\nNOK\r\n",        // the last line must be exactly "OK"
        "\r\nALARM OK\r\n",   // a message text ending in "OK"
        "\r\nOK",             // not finished yet
        "\r\nOK\r\nMORE\r\n"  // something followed the result
    };
    for (const auto& reply : replies) {
        SCOPED_TRACE(reply);
        auto source = Script({{0, reply}});
        CGeneralResponseReader reader;
        reader.SetTimeout(80);
        const Ms took = TimedRead(reader, source.get());
        EXPECT_TRUE(reader.IsTimedOut());
        EXPECT_EQ(reader.GetResponse(), reply);
        EXPECT_GE(took, Ms(80));
        EXPECT_LT(took, Ms(80) + kSlack);
    }
}

// The time-out counts from the call while nothing came, from the first bytes until the first
// line end, and from the latest bytes after that.
TEST(GeneralResponseReader, TimeOutRestartRules) {
    struct Case {
        const char* name;
        std::vector<Piece> pieces;
        int endsNearMs;
        std::string kept;
    };
    const std::vector<Case> cases = {
        {"silence", {}, 150, ""},
        {"first bytes later than the time-out", {{300, "\r\nOK\r\n"}}, 150, ""},
        {"first line never ends", {{0, "AB"}, {100, "CD"}, {300, "EF\r\n"}}, 150, "ABCD"},
        {"after a line end bytes keep it alive",
         {{0, "\r\nA"}, {100, "B"}, {200, "C"}, {300, "D"}},
         450,
         "\r\nABCD"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto source = Script(c.pieces);
        CGeneralResponseReader reader;
        reader.SetTimeout(150);
        const Ms took = TimedRead(reader, source.get());
        EXPECT_TRUE(reader.IsTimedOut());
        EXPECT_EQ(reader.GetResponse(), c.kept);
        EXPECT_GE(took, Ms(c.endsNearMs));
        EXPECT_LT(took, Ms(c.endsNearMs) + kSlack);
    }
}

// Waiting on a silent module sleeps on the source instead of spinning.
TEST(GeneralResponseReader, SilentModuleCostsFewPolls) {
    auto source = MakeRef<ScriptedSource>();
    CGeneralResponseReader reader;
    reader.SetTimeout(200);
    reader.Read(source.get());
    EXPECT_TRUE(reader.IsTimedOut());
    EXPECT_GT(source->ReadCalls(), 10u);
    EXPECT_LT(source->ReadCalls(), 400u);
}

// A listing whose message text is "OK" (or ends in it) must be read to its real end, even
// when the module pauses after such a line.
TEST(GeneralResponseReader, ListingWithOkMessageTextIsReadWhole) {
    const std::vector<ReplyCase> cases = {
        {"only message reads OK",
         {{0, "AT+CMGL=\"ALL\"\r\r\n+CMGL: 1,\"STO UNSENT\",\"123\",,\r\n"},
          {30, "OK\r\n"},
          {60, "\r\nOK\r\n"}}},
        {"first of two messages reads OK",
         {{0, "\r\n+CMGL: 1,\"STO UNSENT\",\"123\",,\r\nOK\r\n"},
          {30, "+CMGL: 2,\"STO UNSENT\",\"456\",,\r\nDOOR OPEN\r\n"},
          {60, "\r\nOK\r\n"}}},
        {"message text ends in OK",
         {{0, "\r\n+CMGL: 1,\"STO UNSENT\",\"123\",,\r\nALARM OK\r\n"},
          {30, "+CMGL: 2,\"STO UNSENT\",\"456\",,\r\nPOWER OK\r\n"},
          {60, "\r\nOK\r\n"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto source = Script(c.pieces);
        CGeneralResponseReader reader;
        reader.SetTimeout(1000);
        const Ms took = TimedRead(reader, source.get());
        EXPECT_FALSE(reader.IsTimedOut());
        EXPECT_EQ(reader.GetResponse(), Joined(c.pieces));
        EXPECT_LT(took, Ms(60) + kSlack);
    }
}

// Stopping at the time-out is always a time-out, also when the clock shows exactly the
// time-out (with a time-out of 0 it always does).
TEST(GeneralResponseReader, StopAtTheTimeOutIsAlwaysReported) {
    for (uint32_t timeout : {0u, 1u, 2u, 3u, 5u, 8u}) {
        SCOPED_TRACE(timeout);
        auto source = MakeRef<ScriptedSource>();
        source->Push("\r\nERROR\r\n");
        CGeneralResponseReader reader;
        reader.SetTimeout(timeout);
        reader.Read(source.get());
        EXPECT_TRUE(reader.IsTimedOut());
        EXPECT_EQ(reader.GetResponse(), "\r\nERROR\r\n");
    }
}

// Each read stands alone: a time-out does not stick, and no text carries over.
TEST(GeneralResponseReader, ReadsAreIndependent) {
    auto source = MakeRef<ScriptedSource>();
    CGeneralResponseReader reader;
    reader.SetTimeout(60);
    source->Push("\r\nERROR\r\n");
    reader.Read(source.get());
    ASSERT_TRUE(reader.IsTimedOut());
    source->Push("\r\nOK\r\n");
    reader.Read(source.get());
    EXPECT_FALSE(reader.IsTimedOut());
    EXPECT_EQ(reader.GetResponse(), "\r\nOK\r\n");
}

// A device that never stops talking ends the read as timed out: after the byte bound, or
// after max(floor, 3 x time-out) in total.
TEST(GeneralResponseReader, EndlessTalkerIsBounded) {
    {
        SCOPED_TRACE("byte bound");
        std::string flood;
        while (flood.size() < 4 * CGeneralResponseReader::kMaxReplyBytes) {
            flood += "+CMGL: 1,\"REC READ\",\"123\",,\r\nHELLO\r\n";
        }
        auto source = MakeRef<ScriptedSource>();
        source->Push(flood);
        CGeneralResponseReader reader;
        reader.SetTimeout(2000);
        const Ms took = TimedRead(reader, source.get());
        EXPECT_TRUE(reader.IsTimedOut());
        EXPECT_EQ(reader.GetResponse().size(), CGeneralResponseReader::kMaxReplyBytes);
        EXPECT_TRUE(flood.starts_with(reader.GetResponse()));
        EXPECT_LT(took, Ms(2000));
    }
    struct Case {
        uint32_t timeout;
        uint32_t floor;
        int endsNearMs;
    };
    for (const Case& c : {Case{100, 0, 300}, Case{50, 400, 400}}) {
        SCOPED_TRACE(c.endsNearMs);
        auto source = MakeRef<ScriptedSource>();
        source->AddRepeating("\r\nRING\r\n", Ms(10), Ms(3000));
        CGeneralResponseReader reader;
        reader.SetTimeout(c.timeout);
        reader.SetLimits(CGeneralResponseReader::kMaxReplyBytes, c.floor);
        const Ms took = TimedRead(reader, source.get());
        EXPECT_TRUE(reader.IsTimedOut());
        EXPECT_TRUE(reader.GetResponse().starts_with("\r\nRING\r\n\r\nRING\r\n"));
        EXPECT_GE(took, Ms(c.endsNearMs));
        EXPECT_LT(took, Ms(c.endsNearMs) + kSlack);
    }
}

// A cancel ends a long read within a few milliseconds and keeps what had arrived; a read
// started while cancelled polls once.
TEST(GeneralResponseReader, CancelEndsTheReadPromptly) {
    auto source = MakeRef<ScriptedSource>();
    CEvent cancel;
    CGeneralResponseReader reader;
    reader.SetCancelEvent(&cancel);
    reader.SetTimeout(5000);
    source->Push("\r\n+CPBR: 1,");
    Clock::time_point ended;
    std::thread worker([&] {
        reader.Read(source.get());
        ended = Clock::now();
    });
    ASSERT_TRUE(WaitUntil([&] { return source->ReadCalls() > 3; }));
    const auto cancelledAt = Clock::now();
    cancel.Set();
    worker.join();
    EXPECT_LT(ended - cancelledAt, Ms(100));
    EXPECT_FALSE(reader.IsTimedOut());
    EXPECT_EQ(reader.GetResponse(), "\r\n+CPBR: 1,");

    source->Push("\r\nOK\r\n");
    const Ms took = TimedRead(reader, source.get());
    EXPECT_LT(took, Ms(100));
    EXPECT_FALSE(reader.IsTimedOut());
    EXPECT_EQ(reader.GetResponse(), "\r\nOK\r\n");
    EXPECT_EQ(source->Unread(), 0u);
}

TEST(ResponseReaders, SourceFailurePassesOut) {
    auto source = MakeRef<ScriptedSource>();
    source->Push("\r\nOK\r\n");
    CGeneralResponseReader general;
    general.SetTimeout(500);
    general.Read(source.get());
    source->FailReads(std::make_exception_ptr(std::runtime_error("port gone")));
    EXPECT_THROW(general.Read(source.get()), std::runtime_error);
    EXPECT_EQ(general.GetResponse(), "\r\nOK\r\n");

    CGeneralStringReader prompt;
    prompt.SetTimeout(500);
    prompt.SetExpected(">");
    EXPECT_THROW(prompt.Read(source.get()), std::runtime_error);
}

// The prompt reader stops at the first byte that completes the expected text and leaves
// everything after it in the port.
TEST(GeneralStringReader, StopsRightAfterTheExpectedText) {
    struct Case {
        const char* expected;
        std::vector<Piece> pieces;
        std::string response;
        std::size_t unread;
    };
    const std::vector<Case> cases = {
        {">", {{0, "AT+CMGW=\"123\"\r\r\n> extra bytes"}}, "AT+CMGW=\"123\"\r\r\n>", 12},
        {">", {{0, "\r\n"}, {50, "> "}}, "\r\n>", 1},
        {"\r\n> ", {{0, "AT+CMGW\r\r"}, {30, "\n>"}, {60, " \r\n+CMGW"}}, "AT+CMGW\r\r\n> ", 7},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        auto source = Script(c.pieces);
        CGeneralStringReader reader;
        reader.SetTimeout(1000);
        reader.SetExpected(c.expected);
        const Ms took = TimedRead(reader, source.get());
        EXPECT_FALSE(reader.IsTimedOut());
        EXPECT_EQ(reader.GetResponse(), c.response);
        EXPECT_GE(took, Ms(c.pieces.back().atMs));
        EXPECT_LT(took, Ms(c.pieces.back().atMs) + kSlack);
        EXPECT_EQ(source->Unread(), c.unread);
    }
}

// Without the expected text the reader times out and the previous response stays; a cancel
// leaves it too, without a time-out.
TEST(GeneralStringReader, TimeOutAndCancelKeepThePreviousResponse) {
    auto source = MakeRef<ScriptedSource>();
    CGeneralStringReader reader;
    reader.SetTimeout(100);
    reader.SetExpected(">");
    source->Push("\r\n> ");
    reader.Read(source.get());
    ASSERT_EQ(reader.GetResponse(), "\r\n>");

    source->Push("\r\nERROR\r\n");
    const Ms took = TimedRead(reader, source.get());
    EXPECT_TRUE(reader.IsTimedOut());
    EXPECT_EQ(reader.GetResponse(), "\r\n>");
    EXPECT_GE(took, Ms(100));
    EXPECT_LT(took, Ms(100) + kSlack);
    EXPECT_LT(source->ReadCalls(), 300u);

    CEvent cancel;
    reader.SetCancelEvent(&cancel);
    reader.SetTimeout(5000);
    Clock::time_point ended;
    std::thread worker([&] {
        reader.Read(source.get());
        ended = Clock::now();
    });
    const std::size_t before = source->ReadCalls();
    ASSERT_TRUE(WaitUntil([&] { return source->ReadCalls() > before + 3; }));
    const auto cancelledAt = Clock::now();
    cancel.Set();
    worker.join();
    EXPECT_LT(ended - cancelledAt, Ms(100));
    EXPECT_FALSE(reader.IsTimedOut());
    EXPECT_EQ(reader.GetResponse(), "\r\n>");
}

// The same readers against the real port, with the test playing the module on the far end of
// a pseudo-terminal.
class ReaderOnPort : public ::testing::Test {
protected:
    void SetUp() override {
        auto port = std::make_unique<CComPort>();
        port->SetPortName(pty.SlavePath());
        port->SetSettings("57600,n,8,1");
        source->SetPort(std::move(port));
        source->Open();
    }

    // Plays the module's reply on its own thread: each piece goes out at its time after the
    // start, the gaps being part of what the module does.
    void Reply(std::vector<Piece> pieces) {
        module = std::thread([this, pieces = std::move(pieces)] {
            const auto from = Clock::now();
            for (const auto& piece : pieces) {
                std::this_thread::sleep_until(from + Ms(piece.atMs));
                pty.WriteToPort(piece.bytes);
            }
        });
    }

    void TearDown() override {
        if (module.joinable()) {
            module.join();
        }
    }

    PtyPair pty;
    CRefPtr<CComPortCommSource> source = MakeRef<CComPortCommSource>();
    std::thread module;
};

TEST_F(ReaderOnPort, ListingExchangeIsReadWhole) {
    const std::string command = "AT+CMGL=\"ALL\"\r";
    source->Write(command.data(), static_cast<uint32_t>(command.size()));
    ASSERT_EQ(pty.ReadFromPort(command.size()), command);
    const std::vector<Piece> pieces = {
        {0, command + "\r\n+CMGL: 1,\"STO UNSENT\",\"123\",,\r\n"},
        {30, "OK\r\n"},
        {60, "+CMGL: 2,\"STO UNSENT\",\"456\",,\r\nGATE OK\r\n"},
        {90, "\r\nOK\r\n"},
    };
    Reply(pieces);
    CGeneralResponseReader reader;
    reader.SetTimeout(1000);
    const Ms took = TimedRead(reader, source.get());
    EXPECT_FALSE(reader.IsTimedOut());
    EXPECT_EQ(reader.GetResponse(), Joined(pieces));
    EXPECT_LT(took, Ms(90) + kSlack);
}

TEST_F(ReaderOnPort, ErrorReplyTimesOutWithTheText) {
    pty.WriteToPort("\r\n+CMS ERROR: 321\r\n");
    CGeneralResponseReader reader;
    reader.SetTimeout(100);
    const Ms took = TimedRead(reader, source.get());
    EXPECT_TRUE(reader.IsTimedOut());
    EXPECT_EQ(reader.GetResponse(), "\r\n+CMS ERROR: 321\r\n");
    EXPECT_GE(took, Ms(100));
    EXPECT_LT(took, Ms(100) + kSlack);
}

// The bytes after the prompt stay in the port for whoever reads next.
TEST_F(ReaderOnPort, PromptReaderLeavesTheRestInThePort) {
    pty.WriteToPort("\r\n> \r\n+CMGW: 3\r\n");
    CGeneralStringReader prompt;
    prompt.SetTimeout(1000);
    prompt.SetExpected(">");
    prompt.Read(source.get());
    EXPECT_FALSE(prompt.IsTimedOut());
    EXPECT_EQ(prompt.GetResponse(), "\r\n>");

    CGeneralResponseReader rest;
    rest.SetTimeout(100);
    rest.Read(source.get());
    EXPECT_EQ(rest.GetResponse(), " \r\n+CMGW: 3\r\n");
}

// Waiting on a silent module sleeps in the port: the read takes little processor time, and a
// cancel still ends it within a few milliseconds.
TEST_F(ReaderOnPort, SilentModuleIsWaitedForWithoutSpinning) {
    const auto cpuNow = [] {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return Ms(t.tv_sec * 1000 + t.tv_nsec / 1000000);
    };
    CGeneralResponseReader reader;
    reader.SetTimeout(300);
    const Ms cpuBefore = cpuNow();
    reader.Read(source.get());
    EXPECT_TRUE(reader.IsTimedOut());
    EXPECT_LT(cpuNow() - cpuBefore, Ms(100));

    CEvent cancel;
    reader.SetCancelEvent(&cancel);
    reader.SetTimeout(5000);
    std::atomic<bool> done{false};
    Clock::time_point ended;
    std::thread worker([&] {
        reader.Read(source.get());
        ended = Clock::now();
        done = true;
    });
    ASSERT_FALSE(WaitUntil([&] { return done.load(); }, Ms(50)));
    const auto cancelledAt = Clock::now();
    cancel.Set();
    worker.join();
    EXPECT_LT(ended - cancelledAt, Ms(100));
    EXPECT_FALSE(reader.IsTimedOut());
}

// The GUI thread may close the port in the middle of a read: the close is not held up for
// long, later polls find nothing, and the read ends at its time-out with what it had.
TEST_F(ReaderOnPort, CloseDuringAReadEndsItAsTimedOut) {
    const std::string partial = "\r\n+CSQ: ";
    pty.WriteToPort(partial);
    CGeneralResponseReader reader;
    reader.SetTimeout(1000);
    std::atomic<bool> reading{false};
    std::thread worker([&] {
        reading = true;
        reader.Read(source.get());
    });
    ASSERT_TRUE(WaitUntil([&] { return reading.load(); }));
    const auto closing = Clock::now();
    source->Close();
    // Well before the read's own end, so the close did not just wait for the read to finish.
    EXPECT_LT(Since(closing), kSlack);
    pty.WriteToPort("23,0\r\n\r\nOK\r\n");
    worker.join();
    EXPECT_TRUE(reader.IsTimedOut());
    EXPECT_TRUE(partial.starts_with(reader.GetResponse()));
}

}  // namespace
