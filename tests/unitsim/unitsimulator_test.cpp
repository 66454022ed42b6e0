#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include "atcomm/smsstore.h"
#include "core/textutils.h"
#include "support/waituntil.h"
#include "unitline.h"

namespace {

CUnitState SmallUnit() {
    CUnitState state;
    state.phonebooks["SM"].entries[1] = {"+46701234567", 145, "ACCESS"};
    state.phonebooks["SM"].entries[64] = {"1", 129, ""};
    state.messages[1] = {"STO UNSENT", "+4670", "Hello", ""};
    state.messages[2] = {"REC READ", "+46709998877", "Saldo", "24/05/01,12:00:00+08"};
    return state;
}

// The text line of message `index` in a text-mode listing.
std::string ListedText(const std::string& listing, int index) {
    const std::string header = "+CMGL: " + std::to_string(index) + ",";
    const std::size_t at = listing.find(header);
    if (at == std::string::npos) {
        return "<missing>";
    }
    const std::size_t start = listing.find("\r\n", at) + 2;
    return listing.substr(start, listing.find('\r', start) - start);
}

}  // namespace

// From power-on: echo on, plain error results, PDU mode.
TEST_F(UnitSimTest, CommandsAndStoresAnswerInTheModuleFamilysFormat) {
    StartUnit(SmallUnit());
    ExpectReplies({
        {"ATI\r", "ATI\r" + Info("SIEMENS\r\nMC35i\r\nREVISION 02.00")},
        {"ATE0\r", "ATE0\r" + kOk},
        {"AT\r", kOk},
        {"AT+NOSUCH\r", kError},
        {"AT+CPBR=251\r", kError},
        {"AT+CMEE=1\r", kOk},
        {"AT+CPBR=251\r", "\r\n+CME ERROR: 21\r\n"},
        {"AT+CMGD=31\r", "\r\n+CMS ERROR: 321\r\n"},
        {"AT+CPBS?\r", Info("+CPBS: \"SM\",2,250")},
        {"AT+CPBR=1,250\r",
         Info("+CPBR: 1,\"+46701234567\",145,\"ACCESS\"\r\n+CPBR: 64,\"1\",129,\"\"")},
        {"AT+CPBR=64\r", Info("+CPBR: 64,\"1\",129,\"\"")},
        {"AT+CPBR=45\r", kOk},
        {"AT+CPBR=65,250\r", kOk},
        {"AT+CPBS=ME\r", kOk},
        {"AT+CPBS?\r", Info("+CPBS: \"ME\",0,100")},
        {"AT+CPBR=101\r", "\r\n+CME ERROR: 21\r\n"},
        {"AT+CPBS=\"SM\"\r", kOk},
        // In PDU mode the module refuses the text-mode listing.
        {"AT+CMGL=\"ALL\"\r", "\r\n+CMS ERROR: 304\r\n"},
        {"at+cmgf=1\r", kOk},
        {"AT+CMGL=\"ALL\"\r",
         "\r\n+CMGL: 1,\"STO UNSENT\",\"+4670\",,\r\nHello\r\n"
         "+CMGL: 2,\"REC READ\",\"+46709998877\",,\"24/05/01,12:00:00+08\""
         "\r\nSaldo\r\n" +
             kOk},
        {"AT+CSCS=\"GSM\"\r", kOk},
        {"AT+CSQ\r", Info("+CSQ: 20,99")},
        {"AT+CREG?\r", Info("+CREG: 0,1")},
        {"AT+CREG=2\r", kOk},
        {"AT+CREG?\r", Info("+CREG: 2,1,\"5E25\",\"605F\"")},
        {"AT+CMEE=2\r", kOk},
        {"AT+CPBR=251\r", "\r\n+CME ERROR: invalid index\r\n"},
    });
}

TEST_F(UnitSimTest, PhonebookWritesDecideTheTypeAndDeleteQuietly) {
    StartUnit(Quiet());
    ExpectReplies({
        {"AT+CPBW=5,\"+4670\",129,\"ACCESS\"\r", kOk},
        {"AT+CPBW=6,\"5\",145,\"\"\r", kOk},
        {"AT+CPBW=7,\"1\",129,\"A\\22B\"\r", kOk},
        {"AT+CPBR=5,7\r", Info("+CPBR: 5,\"+4670\",145,\"ACCESS\"\r\n+CPBR: 6,\"5\",129,\"\"\r\n"
                               "+CPBR: 7,\"1\",129,\"A\\22B\"")},
        {"AT+CPBW=5\r", kOk},
        {"AT+CPBW=5\r", kOk},
        {"AT+CPBR=5\r", kOk},
        {"AT+CPBW=8,\"123456789012345678901\",129,\"\"\r", "\r\n+CME ERROR: 26\r\n"},
        {"AT+CPBW=251,\"1\",129,\"\"\r", "\r\n+CME ERROR: 21\r\n"},
    });
    EXPECT_EQ(sim->State().phonebooks.at("SM").entries.at(7).text, "A\"B");
}

TEST_F(UnitSimTest, MessageTextsEndWithCtrlZOrEscAndTakeTheLowestFreeIndex) {
    CUnitState state;
    for (const int index : {1, 2, 3, 5}) {
        state.messages[index] = {"STO UNSENT", "", "x", ""};
    }
    StartUnit(Quiet(state));
    const auto listed = [](int index, const std::string& address, const std::string& text) {
        return "+CMGL: " + std::to_string(index) + ",\"STO UNSENT\",\"" + address + "\",,\r\n" +
               text + "\r\n";
    };
    ExpectReplies({
        {"AT+CMGD=2\r", kOk},
        {"AT+CMGD=2\r", kOk},
        {"AT+CMGW=\"+46701234567\"\r", "\r\n> "},
        {"First\x1A", "\r\n+CMGW: 2\r\n" + kOk},
        {"AT+CMGW\r", "\r\n> "},
        {"Dropped\x1B", kOk},
        {"AT+CMGW\r", "\r\n> "},
        {"\x1A", "\r\n+CMGW: 4\r\n" + kOk},
        {"ATE1\r", kOk},
        // The echo covers the message text too.
        {"AT+CMGW\r", "AT+CMGW\r\r\n> "},
        {"Hi\x1A", "Hi\r\n+CMGW: 6\r\n" + kOk},
        {"AT+CMGL=\"ALL\"\r", "AT+CMGL=\"ALL\"\r\r\n" + listed(1, "", "x") +
                                  listed(2, "+46701234567", "First") + listed(3, "", "x") +
                                  listed(4, "", "") + listed(5, "", "x") + listed(6, "", "Hi") +
                                  kOk},
    });
}

// After the prompt the module edits and decodes what is typed: a backspace takes back the last
// character, a backslash with two hex digits is the byte they name. The entry outlasts the
// client's close, so the next client's commands become text, until ESC drops it. In a command
// line ESC and the other control characters are left out.
TEST_F(UnitSimTest, TypedTextIsEditedAndDecodedAndOnlyEscReleasesAForgottenPrompt) {
    StartUnit(Quiet());
    const std::string typed = "\\5CDE\\5c12 \\zz\\4 X\x08Y\\";
    ExpectReplies({
        {"\x1B"
         "AT+CMGW\r",
         "\r\n> "},
        {typed + "\x1A", "\r\n+CMGW: 1\r\n" + kOk},
        {"AT+CMGW\r", "\r\n> "},
    });
    line.reset();
    line = std::make_unique<UnitLine>(sim->PortPath());
    ExpectReplies({
        {"ATI\r", "\r\n> "},
        {"\x1B", kOk},
        {"\x1B"
         "ATI\r",
         Info("SIEMENS\r\nMC35i\r\nREVISION 02.00")},
    });
    EXPECT_EQ(sim->State().messages.size(), 1u);
    EXPECT_EQ(sim->State().messages.at(1).text,
              "\x5C"
              "DE\x5C"
              "12 \\zz\\4 Y\\");
    EXPECT_EQ(sim->CommandLog(),
              (std::vector<std::string>{"AT+CMGW", "\\5CDE\\5c12 \\zz\\4 Y\\\x1A", "AT+CMGW",
                                        "ATI\r\x1B", "ATI"}));
}

// Every Windows-1252 text the tool lets through must come back from a listing unchanged when
// written and read the tool's way; "Ö" (GSM 0x5C, a backslash) before hex digits and "ò" (GSM
// 0x08, a backspace) are the traps.
TEST_F(UnitSimTest, ListedTextsReadBackThroughTheToolsConversion) {
    StartUnit(Quiet());
    const std::string rejected = "\xBD\xA8\x60\x7B\x5B\x5D\x7D\x5C\x5E\x7E\x7C";
    std::string all;
    for (int byte = 0x20; byte <= 0xFF; ++byte) {
        // DEL is GSM "à" to the tool's conversion, so it cannot come back as DEL.
        if (byte != 0x7F && rejected.find(static_cast<char>(byte)) == std::string::npos) {
            all += static_cast<char>(byte);
        }
    }
    const std::vector<std::string> texts = {all.substr(0, 110), all.substr(110),
                                            "\xD6"
                                            "41 @\xD6\xD6"
                                            "0D $_"};
    for (std::size_t i = 0; i < texts.size(); ++i) {
        ASSERT_EQ(line->Exchange("AT+CMGW=\"+4670\"\r"), "\r\n> ");
        ASSERT_EQ(line->Exchange(SmsTextCommand(texts[i])),
                  "\r\n+CMGW: " + std::to_string(i + 1) + "\r\n" + kOk);
    }
    const std::string listing = line->Exchange("AT+CMGL=\"ALL\"\r");
    for (std::size_t i = 0; i < texts.size(); ++i) {
        EXPECT_EQ(GsmToAnsi(ListedText(listing, static_cast<int>(i + 1))), texts[i]);
    }
    EXPECT_EQ(ListedText(listing, 3), "\\5C41 \\00\\5C\\5C0D \\02\\11");
}

TEST_F(UnitSimTest, StateSurvivesARestart) {
    StartUnit();
    EXPECT_TRUE(std::filesystem::exists(folder / "unit.json"));
    ExpectReplies({
        {"ATE0\r", "ATE0\r" + kOk},
        {"AT+CMGF=1\r", kOk},
        {"AT&W\r", kOk},
        {"AT+CPBS=\"ME\"\r", kOk},
        {"AT+CPBW=64,\"0\",129,\"\"\r", kOk},
        {"AT+CMGW=\"+4670\"\r", "\r\n> "},
        {std::string("D|rr \0\x1A", 7), "\r\n+CMGW: 1\r\n" + kOk},
        {"AT+CLCK=\"SC\",1,\"1234\"\r", kOk},
        {"AT+CPIN=\"1234\"\r", kError},  // ready already
    });
    sim->Stop();
    const std::string json = Contents(folder / "unit.json");
    EXPECT_NE(json.find("\"Dörr @\""), std::string::npos) << json;

    StartUnit();  // the state file exists now: the initial state is not used
    ExpectReplies({
        {"AT\r", kOk},  // echo off and text mode were stored with AT&W
        {"AT+CPIN?\r", Info("+CPIN: SIM PIN")},
        {"AT+CPIN=1234\r", kOk},
        {"AT+CPBS=ME\r", kOk},
        {"AT+CPBR=64\r", Info("+CPBR: 64,\"0\",129,\"\"")},
        {"AT+CMGL=\"ALL\"\r", Info("+CMGL: 1,\"STO UNSENT\",\"+4670\",,\r\nD|rr \\00")},
    });
}

// A real port forgets exclusive mode and its line settings with its last close; a
// pseudo-terminal would keep both, locking the next client out or echoing its bytes back.
// (Clients that close the port properly reconnect in every command line and window test.)
TEST_F(UnitSimTest, ThePortReopensAfterAClientThatLeftExclusiveModeBehind) {
    StartUnit();
    line.reset();
    const std::string path = sim->SlavePath();
    const int careless = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(careless, 0);
    termios cooked{};
    tcgetattr(careless, &cooked);
    cooked.c_lflag |= ECHO | ICANON;
    tcsetattr(careless, TCSANOW, &cooked);
    ASSERT_EQ(::ioctl(careless, TIOCEXCL), 0);
    ::close(careless);
    EXPECT_TRUE(WaitUntil([&] {
        const int next = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (next < 0) {
            return false;  // still exclusive, for a client without the right to override it
        }
        int exclusive = 1;
        termios now{};
        const bool released = ::ioctl(next, TIOCGEXCL, &exclusive) == 0 && exclusive == 0 &&
                              tcgetattr(next, &now) == 0 && (now.c_lflag & ECHO) == 0;
        ::close(next);
        return released;
    }));
    line = std::make_unique<UnitLine>(sim->PortPath());
    EXPECT_EQ(line->Exchange("AT\r"), "AT\r" + kOk);
    EXPECT_EQ(sim->CommandCount(), 1u);
}
