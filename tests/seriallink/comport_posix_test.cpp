#include "seriallink/comport.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <map>
#include <tuple>
#include <vector>

#include "linktest.h"
#include "modecases.h"

namespace {

const std::string kInUse = "Could not open com port. Com port might be already in use.";

termios ConfigOf(const std::string& path, const termios* set = nullptr) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    termios t{};
    EXPECT_EQ(set != nullptr ? tcsetattr(fd, TCSANOW, set) : tcgetattr(fd, &t), 0);
    ::close(fd);
    return t;
}

// Raw mode while open: no CR/LF translation either way, Ctrl-Z, NUL and the XON/XOFF bytes
// pass. The settings the line had before come back at Close.
TEST(ComPort, RawLineWhileOpenAndPreviousSettingsBackAfterClose) {
    PtyPair pty;
    termios before = ConfigOf(pty.SlavePath());
    cfsetspeed(&before, B9600);
    before.c_cflag = (before.c_cflag | CSTOPB | CRTSCTS) & ~static_cast<tcflag_t>(CLOCAL);
    before.c_iflag |= IXON | IXOFF | ICRNL;
    before.c_lflag |= ICANON | ECHO;
    before.c_cc[VMIN] = 1;
    ConfigOf(pty.SlavePath(), &before);
    const auto key = [](termios t) {
        return std::tuple(cfgetospeed(&t), t.c_cflag, t.c_iflag, t.c_lflag, t.c_oflag,
                          t.c_cc[VMIN]);
    };
    const auto found = key(ConfigOf(pty.SlavePath()));

    auto port = MakePort(pty.SlavePath());
    // A second Open of an open port changes nothing, new mode string or not.
    port->SetSettings("9600,e,7,2");
    EXPECT_NO_THROW(port->Open());
    const termios open = ConfigOf(pty.SlavePath());
    EXPECT_EQ(cfgetispeed(&open), static_cast<speed_t>(B57600));
    EXPECT_EQ(open.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS | CLOCAL | CREAD),
              static_cast<tcflag_t>(CS8 | CLOCAL | CREAD));
    EXPECT_EQ(open.c_lflag & (ICANON | ECHO), 0u);

    const std::string command("AT+CMGW=\"1\"\r\n\x1a\0\xff", 16);
    port->Write(command.data(), static_cast<uint32_t>(command.size()));
    EXPECT_EQ(pty.ReadFromPort(command.size()), command);
    // A wait for bytes ends as they arrive.
    auto waiter = std::async(std::launch::async, [&] { return port->WaitReadable(60000); });
    const std::string reply("\r\nOK\r\n\x11\x13\0\xff", 10);
    pty.WriteToPort(reply);
    ASSERT_EQ(waiter.wait_for(5s), std::future_status::ready);
    EXPECT_TRUE(waiter.get());
    EXPECT_EQ(ReadAtLeast(*port, reply.size()), reply);
    uint32_t received = 99;
    char buf[4];
    port->Read(buf, sizeof buf, received);
    EXPECT_EQ(received, 0u);

    port->Close();
    EXPECT_EQ(key(ConfigOf(pty.SlavePath())), found);
}

TEST(ComPort, WritesGoOutWholeOrEndWithTheWriteTexts) {
    PtyPair pty;
    auto port = MakePort(pty.SlavePath());
    std::string block(256 * 1024, '\0');
    for (std::size_t i = 0; i < block.size(); ++i) {
        block[i] = static_cast<char>(i * 7);
    }
    auto far = std::async(std::launch::async, [&] { return pty.ReadFromPort(block.size(), 10s); });
    port->Write(block.data(), static_cast<uint32_t>(block.size()));
    EXPECT_TRUE(far.get() == block);

    // From now on the far end never reads.
    port->SetWriteStallLimit(50ms);
    block.assign(1024 * 1024, 'x');
    EXPECT_EQ(ThrownText([&] { port->Write(block.data(), static_cast<uint32_t>(block.size())); }),
              "Com port buffer error occured. All data not written!");
    for (uint32_t size : {3u, 0u}) {
        EXPECT_EQ(ThrownText([&] { port->Write("AT\r", size); }),
                  "Com port write operation timed out!");
    }
}

TEST(ComPort, FailedOpenLeavesAClosedPortTheDeviceFreeAndTheObjectReusable) {
    PtyPair pty;
    PtyPair held;
    auto first = MakePort(held.SlavePath());
    char dir[] = "/tmp/seriallink-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string plainFile = std::string(dir) + "/plain";
    std::ofstream{plainFile};
    // A link reaches the same device, the way /dev/serial/by-id names do.
    const std::string link = std::string(dir) + "/unit";
    std::filesystem::create_symlink(held.SlavePath(), link);
    const struct {
        std::string name, mode, text;
    } cases[] = {
        {"", "57600,n,8,1", "No com port selected!"},
        {"ttyUSB-none", "57600,n,8,1", kInUse + "\nNo such device: /dev/ttyUSB-none"},
        {pty.SlavePath(), "57600,m,8,1", "Could not configure com port!"},
        {plainFile, "57600,n,8,1", kInUse + "\nNot a serial port: " + plainFile},
        {held.SlavePath(), "57600,n,8,1", kInUse},
        {link, "57600,n,8,1", kInUse},
    };
    for (const auto& c : cases) {
        auto port = MakePort(c.name, false);
        port->SetSettings(c.mode);
        EXPECT_EQ(ThrownText([&] { port->Open(); }), c.text) << c.name << " " << c.mode;
        // A closed port refuses reads and writes and takes the rest quietly.
        ExpectClosedPortRefusesReadsAndWrites(*port);
        EXPECT_EQ(ThrownText([&] { port->Purge(CComPort::purgeAll); }), "<no exception>");
        port->Close();
        EXPECT_FALSE(port->IsOpen());
        // Nothing was left locked or exclusive, and the same object opens once set right.
        EXPECT_NO_THROW(MakePort(pty.SlavePath()));
        port->SetPortName(pty.SlavePath());
        port->SetSettings("57600,n,8,1");
        EXPECT_NO_THROW(port->Open());
        EXPECT_TRUE(port->IsOpen());
    }
    // The port that holds the device was not disturbed.
    first->Write("AT\r", 3);
    EXPECT_EQ(held.ReadFromPort(3), "AT\r");
    first->Close();
    EXPECT_NO_THROW(MakePort(link));
    std::filesystem::remove_all(dir);
}

TEST(ComPortConfig, ModeStringsBecomeRawLineSettings) {
    termios found{};
    found.c_cflag = CRTSCTS | CS7 | PARENB | HUPCL;
    found.c_iflag = IXON | IXOFF;
    found.c_lflag = ICANON | ECHO;
    found.c_cc[VMIN] = 1;
    cfsetspeed(&found, B1200);
    const std::map<uint32_t, speed_t> speeds = {
        {4800, B4800}, {9600, B9600}, {19200, B19200}, {57600, B57600}, {115200, B115200}};
    static const tcflag_t sizes[] = {CS5, CS6, CS7, CS8};
    for (const auto& c : kModeCases) {
        SCOPED_TRACE(c.mode);
        termios active{};
        ASSERT_TRUE(CComPort::BuildActiveConfig(c.mode, found, active));
        EXPECT_EQ(cfgetospeed(&active), speeds.at(c.baud));
        EXPECT_EQ(cfgetispeed(&active), speeds.at(c.baud));
        const tcflag_t line = sizes[c.dataBits - 5] | (c.parity != 'n' ? PARENB : 0) |
                              (c.parity == 'o' ? PARODD : 0) | (c.stopBits == 2 ? CSTOPB : 0);
        EXPECT_EQ(active.c_cflag & (CSIZE | PARENB | PARODD | CSTOPB), line);
        EXPECT_EQ(active.c_cflag & (CRTSCTS | CLOCAL | CREAD | HUPCL),
                  static_cast<tcflag_t>(CLOCAL | CREAD | HUPCL));
        EXPECT_EQ(active.c_iflag & (IXON | IXOFF), 0u);
        EXPECT_EQ(active.c_lflag & (ICANON | ECHO), 0u);
        EXPECT_EQ(active.c_cc[VMIN], 0);
    }
    termios active{};
    for (const char* bad : kBadModes) {
        EXPECT_FALSE(CComPort::BuildActiveConfig(bad, found, active)) << bad;
    }
    // Without a mode string the line keeps the speed the port had, in raw mode.
    ASSERT_TRUE(CComPort::BuildActiveConfig("", found, active));
    EXPECT_EQ(cfgetospeed(&active), static_cast<speed_t>(B1200));
    EXPECT_EQ(active.c_iflag & (IXON | IXOFF), 0u);
}

TEST(ComPortConfig, OpenFailureNamesWhatTheUserCanFix) {
    const std::string denied =
        "\nPermission denied: add your user to the 'dialout' group and log in again.";
    const std::string missing = "\nNo such device: /dev/ttyUSB9";
    const std::pair<int, std::string> cases[] = {{EACCES, denied},  {EPERM, denied},
                                                 {ENOENT, missing}, {ENODEV, missing},
                                                 {EBUSY, ""},       {EWOULDBLOCK, ""}};
    for (const auto& [error, second] : cases) {
        EXPECT_EQ(CComPort::OpenFailureMessage(error, "/dev/ttyUSB9"), kInUse + second) << error;
    }
}

TEST(ComPortList, NamesSortInNaturalOrderAndAHeldPortCannotBeOpened) {
    std::vector<std::string> names = {"ttyUSB10", "ttyS1",   "ttyUSB2", "ttyACM0",
                                      "ttyUSB1",  "rfcomm0", "ttyS0"};
    std::sort(names.begin(), names.end(), CComPort::PortNameLess);
    EXPECT_EQ(names, (std::vector<std::string>{"rfcomm0", "ttyACM0", "ttyS0", "ttyS1", "ttyUSB1",
                                               "ttyUSB2", "ttyUSB10"}));

    PtyPair pty;
    EXPECT_TRUE(CComPort::CanOpen(pty.SlavePath()));
    auto port = MakePort(pty.SlavePath());
    EXPECT_FALSE(CComPort::CanOpen(pty.SlavePath()));
    EXPECT_FALSE(CComPort::CanOpen("ttyUSB-none"));
}

}  // namespace
