#include "seriallink/trafficlog.h"

#include <sstream>
#include <vector>

#include "linktest.h"
#include "seriallink/commsource.h"
#include "support/regex.h"

namespace {

using Strings = std::vector<std::string>;

// The lines after `after` without their time stamps, each of which must be a clock time.
Strings Untimed(const CTrafficLog& log, uint64_t after = 0) {
    uint64_t last = 0;
    Strings lines;
    const std::regex stamp(R"(\d\d:\d\d:\d\d\.\d\d\d )");
    for (const std::string& line : log.LinesAfter(after, last)) {
        EXPECT_TRUE(std::regex_search(line, stamp, std::regex_constants::match_continuous)) << line;
        lines.push_back(line.substr(13));
    }
    return lines;
}

// The tap sits on the real port: what the tool writes and what the far end answers, split into
// a line per command and per reply line, with the speaking controller named once, control
// bytes escaped, and the SIM codes of every code-carrying command masked, echoed ones too.
TEST(TrafficLog, ShowsEveryByteOverThePortALinePerCommandAndReplyLineWithCodesMasked) {
    PtyPair pty;
    auto log = std::make_shared<CTrafficLog>();
    std::ostringstream trace;
    log->SetSink(&trace);
    auto source = MakeRef<CComPortCommSource>();
    source->SetPort(MakePort(pty.SlavePath(), false));
    source->SetTap(log);
    source->Open();

    const auto exchange = [&](const std::string& command, const std::string& reply) {
        source->Write(command.data(), static_cast<uint32_t>(command.size()));
        EXPECT_EQ(pty.ReadFromPort(command.size()), command);
        pty.WriteToPort(reply);
        EXPECT_EQ(ReadAtLeast(*source, reply.size()), reply);
    };
    source->NoteSpeaker("CControllerConnectionCheck");
    exchange("\x1B", "");
    exchange("ATI\r", "ATI\r\r\nSIEMENS\r\nMC35i\r\n\r\nOK\r\n");
    source->NoteSpeaker("CControllerConnectionCheck");
    source->NoteSpeaker("CControllerPin");
    exchange("AT+CPIN=1234\r", "AT+CPIN=1234\r\r\nOK\r\n");
    exchange("AT+CPIN=12345678,4321\r", "\r\nOK\r\n");
    exchange("at+cpin2=\"5678\"\r", "\r\nOK\r\n");
    exchange("AT+CLCK=\"SC\",0,1234\r", "\r\n+CME ERROR: 16\r\n");
    source->NoteSpeaker("CControllerWriteSms");
    exchange("AT+CMGW=\"+4670\"\r", "\r\n> ");
    exchange("Port <\xD6ppen>\x1A", "\r\n+CMGW: 3\r\n\r\nOK\r\n");
    source->Close();

    const Strings lines = Untimed(*log);
    ASSERT_GE(lines.size(), 1u);
    EXPECT_TRUE(std::regex_match(
        lines.front(), std::regex("== " + pty.SlavePath() +
                                  R"( opened \d{4}-\d\d-\d\dT\d\d:\d\d:\d\d[+-]\d\d:\d\d)")))
        << lines.front();
    EXPECT_EQ(Strings(lines.begin() + 1, lines.end()), (Strings{"-- CControllerConnectionCheck",
                                                                "-> <ESC>",
                                                                "-> ATI<CR>",
                                                                "<- ATI<CR><CR><LF>",
                                                                "<- SIEMENS<CR><LF>",
                                                                "<- MC35i<CR><LF>",
                                                                "<- <CR><LF>OK<CR><LF>",
                                                                "-- CControllerPin",
                                                                "-> AT+CPIN=****<CR>",
                                                                "<- AT+CPIN=****<CR><CR><LF>",
                                                                "<- OK<CR><LF>",
                                                                "-> AT+CPIN=********,****<CR>",
                                                                "<- <CR><LF>OK<CR><LF>",
                                                                "-> at+cpin2=\"****\"<CR>",
                                                                "<- <CR><LF>OK<CR><LF>",
                                                                "-> AT+CLCK=\"SC\",0,****<CR>",
                                                                "<- <CR><LF>+CME ERROR: 16<CR><LF>",
                                                                "-- CControllerWriteSms",
                                                                "-> AT+CMGW=\"+4670\"<CR>",
                                                                "<- <CR><LF>> ",
                                                                "-> Port <3C><D6>ppen><SUB>",
                                                                "<- <CR><LF>+CMGW: 3<CR><LF>",
                                                                "<- <CR><LF>OK<CR><LF>",
                                                                "== closed"}));
    // The sink got the same lines as they were made; no code anywhere.
    EXPECT_EQ(trace.str(), log->Text());
    for (const char* code : {"1234", "5678", "4321"}) {
        EXPECT_EQ(trace.str().find(code), std::string::npos) << code;
    }
}

// Hours of signal polling stay within the bound, newest lines kept; a new connection keeps the
// one before it and drops everything older, and a viewer learns that it must start afresh.
TEST(TrafficLog, KeepsTheLastBytesOfTheCurrentAndThePreviousConnectionOnly) {
    constexpr std::size_t kBound = 64 * 1024;
    CTrafficLog log(kBound);
    log.Opened("first");
    const std::string poll = "AT+CSQ\r";
    const std::string reply = "\r\n+CSQ: 20,99\r\n\r\nOK\r\n";
    for (int i = 0; i < 20000; ++i) {
        log.Sent(poll);
        log.Received(reply);
        ASSERT_LE(log.KeptBytes(), kBound);
    }
    EXPECT_GT(log.KeptBytes(), kBound - 100);
    uint64_t last = 0;
    const Strings kept = log.LinesAfter(0, last);
    EXPECT_EQ(last, 1 + 20000 * 3u);
    EXPECT_EQ(kept.back().substr(13), "<- <CR><LF>OK<CR><LF>");
    EXPECT_EQ(log.Text().size(), log.KeptBytes());

    const uint64_t generation = log.Generation();
    log.Opened("second");
    log.Sent("ATI\r");
    log.Closed();
    EXPECT_NE(log.Generation(), generation);
    log.Opened("third");
    log.Sent("AT\r");
    const Strings lines = Untimed(log);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0].rfind("== second opened ", 0), 0u) << lines[0];
    EXPECT_EQ(lines[1], "-> ATI<CR>");
    EXPECT_EQ(lines[2], "== closed");
    EXPECT_EQ(lines[3].rfind("== third opened ", 0), 0u) << lines[3];
    EXPECT_EQ(lines[4], "-> AT<CR>");
}

}  // namespace
