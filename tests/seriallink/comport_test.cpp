#include "seriallink/comport.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <future>
#include <memory>
#include <string>
#include <vector>

#include "support/ptypair.h"
#include "support/waituntil.h"

namespace {

using namespace std::chrono_literals;

const std::string kInUse = "Could not open com port. Com port might be already in use.";

// A literal with embedded NUL bytes, whole.
template <std::size_t N>
std::string Bytes(const char (&literal)[N]) {
    return std::string(literal, N - 1);
}

std::string ThrownText(const std::function<void()>& action) {
    try {
        action();
    } catch (const CComPort::EComPortException& e) {
        return e.what();
    }
    return "<no exception>";
}

std::unique_ptr<CComPort> OpenPort(const std::string& name) {
    auto port = std::make_unique<CComPort>();
    port->SetPortName(name);
    port->SetSettings("57600,n,8,1");
    port->Open();
    return port;
}

std::string ReadAtLeast(CComPort& port, std::size_t count) {
    std::string got;
    WaitUntil(
        [&] {
            char buf[256];
            uint32_t n = 0;
            port.Read(buf, sizeof buf, n);
            got.append(buf, n);
            return got.size() >= count;
        },
        2s);
    return got;
}

termios ConfigOf(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    termios t{};
    EXPECT_EQ(tcgetattr(fd, &t), 0);
    ::close(fd);
    return t;
}

TEST(ComPort, BytesTravelBothWaysUnchanged) {
    PtyPair pty;
    auto port = OpenPort(pty.SlavePath());
    // Raw mode: no CR/LF translation either way, Ctrl-Z, NUL and the XON/XOFF bytes pass.
    const std::string command = Bytes("AT+CMGW=\"1\"\r\n\x1a\0\xff");
    port->Write(command.data(), static_cast<uint32_t>(command.size()));
    EXPECT_EQ(pty.ReadFromPort(command.size()), command);

    const std::string reply = Bytes("\r\nOK\r\n\x11\x13\0\xff");
    pty.WriteToPort(reply);
    EXPECT_EQ(ReadAtLeast(*port, reply.size()), reply);
    uint32_t received = 99;
    char buf[16];
    port->Read(buf, sizeof buf, received);
    EXPECT_EQ(received, 0u);
}

TEST(ComPort, LargeWriteGoesOutCompletely) {
    PtyPair pty;
    auto port = OpenPort(pty.SlavePath());
    std::string block(256 * 1024, '\0');
    for (std::size_t i = 0; i < block.size(); ++i) {
        block[i] = static_cast<char>(i * 7);
    }
    auto far = std::async(std::launch::async, [&] { return pty.ReadFromPort(block.size(), 10s); });
    port->Write(block.data(), static_cast<uint32_t>(block.size()));
    EXPECT_TRUE(far.get() == block);
}

TEST(ComPort, WriteThatCannotGetOutEndsWithTheWriteTexts) {
    PtyPair pty;  // the far end never reads
    auto port = OpenPort(pty.SlavePath());
    port->SetWriteStallLimit(50ms);
    std::string block(1024 * 1024, 'x');
    EXPECT_EQ(ThrownText([&] { port->Write(block.data(), static_cast<uint32_t>(block.size())); }),
              "Com port buffer error occured. All data not written!");
    EXPECT_EQ(ThrownText([&] { port->Write("AT\r", 3); }), "Com port write operation timed out!");
    EXPECT_EQ(ThrownText([&] { port->Write("", 0); }), "Com port write operation timed out!");
}

TEST(ComPort, RawLineWhileOpenAndPreviousSettingsBackAfterClose) {
    PtyPair pty;
    const int fd = ::open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    termios before{};
    ASSERT_EQ(tcgetattr(fd, &before), 0);
    cfsetspeed(&before, B9600);
    before.c_cflag |= CSTOPB | CRTSCTS;
    before.c_cflag &= ~static_cast<tcflag_t>(CLOCAL);
    before.c_iflag |= IXON | IXOFF | ICRNL;
    before.c_lflag |= ICANON | ECHO;
    before.c_cc[VMIN] = 1;
    ASSERT_EQ(tcsetattr(fd, TCSANOW, &before), 0);
    ::close(fd);
    before = ConfigOf(pty.SlavePath());

    auto port = OpenPort(pty.SlavePath());
    const termios open = ConfigOf(pty.SlavePath());
    EXPECT_EQ(cfgetispeed(&open), static_cast<speed_t>(B57600));
    EXPECT_EQ(cfgetospeed(&open), static_cast<speed_t>(B57600));
    EXPECT_EQ(open.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(open.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_EQ(open.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
    EXPECT_EQ(open.c_iflag & (IXON | IXOFF | ICRNL), 0u);
    EXPECT_EQ(open.c_lflag & (ICANON | ECHO), 0u);
    EXPECT_EQ(open.c_oflag & OPOST, 0u);
    EXPECT_EQ(open.c_cc[VMIN], 0);
    EXPECT_EQ(open.c_cc[VTIME], 0);

    port->Close();
    const termios after = ConfigOf(pty.SlavePath());
    EXPECT_EQ(cfgetospeed(&after), cfgetospeed(&before));
    EXPECT_EQ(after.c_cflag, before.c_cflag);
    EXPECT_EQ(after.c_iflag, before.c_iflag);
    EXPECT_EQ(after.c_lflag, before.c_lflag);
    EXPECT_EQ(after.c_oflag, before.c_oflag);
    EXPECT_EQ(after.c_cc[VMIN], 1);
}

TEST(ComPort, SecondOpenOfTheSameDeviceFailsAndLeavesTheFirstWorking) {
    PtyPair pty;
    auto first = OpenPort(pty.SlavePath());

    // Also through a link, the way /dev/serial/by-id names reach the same device.
    char dir[] = "/tmp/seriallink-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string link = std::string(dir) + "/unit";
    std::filesystem::create_symlink(pty.SlavePath(), link);

    CComPort second;
    second.SetSettings("57600,n,8,1");
    for (const std::string& name : {pty.SlavePath(), link}) {
        second.SetPortName(name);
        EXPECT_EQ(ThrownText([&] { second.Open(); }), kInUse) << name;
        EXPECT_FALSE(second.IsOpen());
    }
    first->Write("AT\r", 3);
    EXPECT_EQ(pty.ReadFromPort(3), "AT\r");

    first->Close();
    second.Open();
    EXPECT_TRUE(second.IsOpen());
    std::filesystem::remove_all(dir);
}

TEST(ComPort, ClosedPortRefusesReadAndWriteAndIgnoresTheRest) {
    CComPort port;
    char buf[4];
    uint32_t received = 7;
    EXPECT_EQ(ThrownText([&] { port.Read(buf, sizeof buf, received); }),
              "Can not read from port. Com port has not been opened!");
    EXPECT_EQ(received, 7u);
    EXPECT_EQ(ThrownText([&] { port.Write("AT\r", 3); }),
              "Can not write to port. Com port has not been opened!");
    EXPECT_EQ(ThrownText([&] { port.Purge(CComPort::purgeAll); }), "<no exception>");
    EXPECT_FALSE(port.WaitReadable(0));
    port.Close();
    port.Close();
    EXPECT_FALSE(port.IsOpen());
}

TEST(ComPort, FailedOpenLeavesThePortClosedTheDeviceFreeAndTheObjectReusable) {
    PtyPair pty;
    char plainFile[] = "/tmp/seriallink-file-XXXXXX";
    const int fileFd = mkstemp(plainFile);
    ASSERT_GE(fileFd, 0);
    ::close(fileFd);
    struct Case {
        std::string name;
        std::string mode;
        std::string text;
    };
    const std::vector<Case> cases = {
        {"", "57600,n,8,1", "No com port selected!"},
        {"ttyUSB-none", "57600,n,8,1", kInUse + "\nNo such device: /dev/ttyUSB-none"},
        {pty.SlavePath(), "57600,m,8,1", "Could not configure com port!"},
        {pty.SlavePath(), "57600,n,9,1", "Could not configure com port!"},
        {pty.SlavePath(), "57601,n,8,1", "Could not configure com port!"},
        {pty.SlavePath(), "fast", "Could not configure com port!"},
        {plainFile, "57600,n,8,1", kInUse + "\nNot a serial port: " + plainFile},
    };
    for (const auto& c : cases) {
        CComPort port;
        port.SetPortName(c.name);
        port.SetSettings(c.mode);
        EXPECT_EQ(ThrownText([&] { port.Open(); }), c.text) << c.name << " " << c.mode;
        EXPECT_FALSE(port.IsOpen());
        // Nothing was left locked or exclusive, and the same object opens once set right.
        EXPECT_NO_THROW(OpenPort(pty.SlavePath()));
        port.SetPortName(pty.SlavePath());
        port.SetSettings("57600,n,8,1");
        EXPECT_NO_THROW(port.Open());
        EXPECT_TRUE(port.IsOpen());
    }
    ::unlink(plainFile);
}

TEST(ComPort, OpeningAnOpenPortChangesNothing) {
    PtyPair pty;
    auto port = OpenPort(pty.SlavePath());
    port->SetSettings("9600,e,7,2");
    EXPECT_NO_THROW(port->Open());
    const termios config = ConfigOf(pty.SlavePath());
    EXPECT_EQ(cfgetospeed(&config), static_cast<speed_t>(B57600));
}

TEST(ComPort, PurgeDiscardsTheQueuesAskedFor) {
    const struct {
        CComPort::EPurgeKind kind;
        bool receivedKept;
    } cases[] = {{CComPort::purgeAll, false},
                 {CComPort::purgeReceive, false},
                 {CComPort::purgeTransmit, true}};
    for (const auto& c : cases) {
        PtyPair pty;
        auto port = OpenPort(pty.SlavePath());
        pty.WriteToPort("+CMTI: \"SM\",3\r\n");
        ASSERT_TRUE(port->WaitReadable(2000));
        port->Purge(c.kind);
        pty.WriteToPort("OK");
        const std::string expected = c.receivedKept ? "+CMTI: \"SM\",3\r\nOK" : "OK";
        EXPECT_EQ(ReadAtLeast(*port, expected.size()), expected) << c.kind;
    }
}

// A pulled USB adapter hangs the tty up; the reader must hear about it instead of polling a
// silent line until its time-out, every time, for ever.
TEST(ComPort, HangUpRaisesTheReadErrorNotSilence) {
    int master = -1;
    int slave = -1;
    char name[256] = {};
    ASSERT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
    auto port = OpenPort(name);
    ::close(master);

    EXPECT_TRUE(port->WaitReadable(2000));
    char buf[8];
    uint32_t received = 0;
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(ThrownText([&] { port->Read(buf, sizeof buf, received); }),
                  "An error occured when reading data from com port!");
    }
    EXPECT_EQ(ThrownText([&] { port->Write("AT\r", 3); }), "Could not write data to com port!");
    port->Close();
    EXPECT_FALSE(port->IsOpen());
    ::close(slave);
}

TEST(ComPortConfig, ModeStringsBecomeRawLineSettings) {
    const struct {
        const char* mode;
        bool ok;
        speed_t speed;
        tcflag_t size;
        tcflag_t parity;
        tcflag_t stop;
    } cases[] = {
        {"57600,n,8,1", true, B57600, CS8, 0, 0},
        {" 9600, E ,7, 2 ", true, B9600, CS7, PARENB, CSTOPB},
        {"115200,o,5,1", true, B115200, CS5, PARENB | PARODD, 0},
        {"19200", true, B19200, CS8, 0, 0},
        {"baud=4800 parity=O data=6 stop=2", true, B4800, CS6, PARENB | PARODD, CSTOPB},
        {"57600,s,8,1", false, 0, 0, 0, 0},
        {"57600,n,8,1.5", false, 0, 0, 0, 0},
        {"57600,n,4,1", false, 0, 0, 0, 0},
        {"57600,n,8,1,p", false, 0, 0, 0, 0},
        {"-57600,n,8,1", false, 0, 0, 0, 0},
        {"baud=57600 xon=on", false, 0, 0, 0, 0},
        {"parity=n data=8", false, 0, 0, 0, 0},
        {",n,8,1", false, 0, 0, 0, 0},
    };
    termios found{};
    found.c_cflag = CRTSCTS | CS7 | PARENB | HUPCL;
    found.c_iflag = IXON | IXOFF;
    found.c_lflag = ICANON | ECHO;
    found.c_cc[VMIN] = 1;
    cfsetspeed(&found, B1200);
    for (const auto& c : cases) {
        termios active{};
        ASSERT_EQ(CComPort::BuildActiveConfig(c.mode, found, active), c.ok) << c.mode;
        if (!c.ok) {
            continue;
        }
        EXPECT_EQ(cfgetospeed(&active), c.speed) << c.mode;
        EXPECT_EQ(cfgetispeed(&active), c.speed) << c.mode;
        EXPECT_EQ(active.c_cflag & CSIZE, c.size) << c.mode;
        EXPECT_EQ(active.c_cflag & (PARENB | PARODD), c.parity) << c.mode;
        EXPECT_EQ(active.c_cflag & CSTOPB, c.stop) << c.mode;
        EXPECT_EQ(active.c_cflag & (CRTSCTS | CLOCAL | CREAD | HUPCL),
                  static_cast<tcflag_t>(CLOCAL | CREAD | HUPCL));
        EXPECT_EQ(active.c_iflag & (IXON | IXOFF), 0u);
        EXPECT_EQ(active.c_lflag & (ICANON | ECHO), 0u);
        EXPECT_EQ(active.c_cc[VMIN], 0);
    }
    // Without a mode string the line keeps what the port had, in raw mode.
    termios active{};
    ASSERT_TRUE(CComPort::BuildActiveConfig("", found, active));
    EXPECT_EQ(cfgetospeed(&active), static_cast<speed_t>(B1200));
    EXPECT_EQ(active.c_iflag & (IXON | IXOFF), 0u);
}

TEST(ComPortConfig, OpenFailureNamesWhatTheUserCanFix) {
    const struct {
        int error;
        std::string second;
    } cases[] = {
        {EACCES, "\nPermission denied: add your user to the 'dialout' group and log in again."},
        {EPERM, "\nPermission denied: add your user to the 'dialout' group and log in again."},
        {ENOENT, "\nNo such device: /dev/ttyUSB9"},
        {ENODEV, "\nNo such device: /dev/ttyUSB9"},
        {EBUSY, ""},
        {EWOULDBLOCK, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CComPort::OpenFailureMessage(c.error, "/dev/ttyUSB9"), kInUse + c.second)
            << c.error;
    }
}

TEST(ComPortList, NamesComeWithoutPrefixInNaturalOrderAndAreAppended) {
    EXPECT_EQ(CComPort::DevicePath("ttyUSB0"), "/dev/ttyUSB0");
    EXPECT_EQ(CComPort::DevicePath("/tmp/unit/tty"), "/tmp/unit/tty");

    std::vector<std::string> names = {"ttyUSB10", "ttyS1",   "ttyUSB2", "ttyACM0",
                                      "ttyUSB1",  "rfcomm0", "ttyS0"};
    std::sort(names.begin(), names.end(), CComPort::PortNameLess);
    EXPECT_EQ(names, (std::vector<std::string>{"rfcomm0", "ttyACM0", "ttyS0", "ttyS1", "ttyUSB1",
                                               "ttyUSB2", "ttyUSB10"}));

    std::vector<std::string> list = {"kept"};
    ASSERT_NO_THROW(CComPort::ListPorts(list));
    ASSERT_GE(list.size(), 1u);
    EXPECT_EQ(list.front(), "kept");
    for (std::size_t i = 1; i < list.size(); ++i) {
        EXPECT_EQ(list[i].find('/'), std::string::npos) << list[i];
        if (i > 1) {
            EXPECT_TRUE(CComPort::PortNameLess(list[i - 1], list[i]));
        }
    }

    PtyPair pty;
    EXPECT_TRUE(CComPort::CanOpen(pty.SlavePath()));
    auto port = OpenPort(pty.SlavePath());
    EXPECT_FALSE(CComPort::CanOpen(pty.SlavePath()));
    EXPECT_FALSE(CComPort::CanOpen("ttyUSB-none"));
}

}  // namespace
