// The Win32 port against simulated units that `./build.sh windows` starts on Linux and maps
// as COM ports into the Wine prefix: SENDIBOX_TEST_UNIT_PORT names a unit that answers,
// SENDIBOX_TEST_HANGUP_PORT one that drops its line after its first command. Where Wine differs
// from Windows (no exclusive opening), the checks accept both.

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "linktest.h"
#include "modecases.h"

namespace {

std::string PortFromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

const std::string kInUse = "Could not open com port. Com port might be already in use.";

// Sends one command and collects the reply up to its final result code.
std::string Ask(CComPort& port, const std::string& command) {
    port.Write(command.data(), static_cast<uint32_t>(command.size()));
    std::string reply;
    WaitUntil(
        [&] {
            port.WaitReadable(50);
            char buf[256];
            uint32_t n = 0;
            port.Read(buf, sizeof buf, n);
            reply.append(buf, n);
            return reply.find("OK\r\n") != std::string::npos ||
                   reply.find("ERROR\r\n") != std::string::npos;
        },
        5s);
    return reply;
}

class ComPortWin32 : public ::testing::Test {
protected:
    void SetUp() override {
        unitPort = PortFromEnvironment("SENDIBOX_TEST_UNIT_PORT");
        hangUpPort = PortFromEnvironment("SENDIBOX_TEST_HANGUP_PORT");
        ASSERT_FALSE(unitPort.empty()) << "run by ./build.sh windows, which starts the units";
    }
    std::string unitPort;
    std::string hangUpPort;
};

// Every mode string opens the port (the driver takes the DCB), reads never wait, and every
// write waits its pause first.
TEST_F(ComPortWin32, OpensWithEachModeReadsWithoutWaitingAndPausesBeforeWrites) {
    for (const auto& c : kModeCases) {
        SCOPED_TRACE(c.mode);
        const auto line = CComPort::ParseMode(c.mode);
        ASSERT_TRUE(line.has_value());
        EXPECT_EQ(line->baud, c.baud);
        EXPECT_EQ(line->parity, c.parity);
        EXPECT_EQ(line->dataBits, c.dataBits);
        EXPECT_EQ(line->stopBits, c.stopBits);
        CComPort port;
        port.SetPortName(unitPort);
        port.SetSettings(c.mode);
        EXPECT_NO_THROW(port.Open());
        EXPECT_TRUE(port.IsOpen());
    }
    for (const char* bad : kBadModes) {
        EXPECT_FALSE(CComPort::ParseMode(bad).has_value()) << bad;
    }

    auto port = MakePort(unitPort);
    port->Purge(CComPort::purgeAll);
    char buf[64];
    uint32_t received = 99;
    const auto before = std::chrono::steady_clock::now();
    port->Read(buf, sizeof buf, received);
    EXPECT_EQ(received, 0u);
    EXPECT_FALSE(port->WaitReadable(0));
    EXPECT_LT(std::chrono::steady_clock::now() - before, 1s);

    const auto writing = std::chrono::steady_clock::now();
    const std::string reply = Ask(*port, "AT\r");
    EXPECT_GE(std::chrono::steady_clock::now() - writing, 40ms);
    EXPECT_NE(reply.find("OK\r\n"), std::string::npos) << reply;
    // The whole reply in one go, then silence again.
    EXPECT_NE(Ask(*port, "ATI\r").find("OK\r\n"), std::string::npos);
    received = 99;
    port->Read(buf, sizeof buf, received);
    EXPECT_EQ(received, 0u);
    port->Close();
    EXPECT_FALSE(port->IsOpen());
    EXPECT_FALSE(port->WaitReadable(0));
}

TEST_F(ComPortWin32, FailedOpenLeavesAClosedPortAndTheObjectReusable) {
    const struct {
        std::string name, mode, text;
    } cases[] = {
        {"", "57600,n,8,1", "No com port selected!"},
        {"COM199", "57600,n,8,1", kInUse + "\nNo such device: \\\\.\\COM199"},
        {unitPort, "57600,m,8,1", "Could not configure com port!"},
    };
    for (const auto& c : cases) {
        auto port = MakePort(c.name, false);
        port->SetSettings(c.mode);
        EXPECT_EQ(ThrownText([&] { port->Open(); }), c.text) << c.name << " " << c.mode;
        ExpectClosedPortRefusesReadsAndWrites(*port);
        port->SetPortName(unitPort);
        port->SetSettings("57600,n,8,1");
        EXPECT_NO_THROW(port->Open());
        EXPECT_TRUE(port->IsOpen());
    }
    const std::pair<int, std::string> messages[] = {
        {ERROR_ACCESS_DENIED, kInUse},
        {ERROR_SHARING_VIOLATION, kInUse},
        {ERROR_FILE_NOT_FOUND, kInUse + "\nNo such device: \\\\.\\COM9"},
    };
    for (const auto& [error, text] : messages) {
        EXPECT_EQ(CComPort::OpenFailureMessage(error, "\\\\.\\COM9"), text) << error;
    }
    EXPECT_EQ(CComPort::DevicePath("COM12"), "\\\\.\\COM12");
    EXPECT_EQ(CComPort::DevicePath("\\\\.\\COM12"), "\\\\.\\COM12");
}

// Windows keeps a second opener out; Wine on a pseudo-terminal does not, so only a refusal
// that does happen is checked for its text.
TEST_F(ComPortWin32, ListedPortsOpenAndAHeldPortIsRefusedWhereTheSystemEnforcesIt) {
    std::vector<std::string> list = {"kept"};
    ASSERT_NO_THROW(CComPort::ListPorts(list));
    EXPECT_EQ(list.front(), "kept");
    for (std::size_t i = 1; i < list.size(); ++i) {
        EXPECT_EQ(list[i].find('\\'), std::string::npos) << list[i];
        EXPECT_TRUE(i == 1 || CComPort::PortNameLess(list[i - 1], list[i])) << list[i];
    }
    EXPECT_TRUE(CComPort::CanOpen(unitPort));
    EXPECT_FALSE(CComPort::CanOpen("COM199"));
    EXPECT_FALSE(CComPort::CanOpen(""));

    auto holder = MakePort(unitPort);
    auto second = MakePort(unitPort, false);
    const std::string refused = ThrownText([&] { second->Open(); });
    EXPECT_TRUE(refused == "<no exception>" || refused == kInUse) << refused;
}

// A unit whose line drops (a pulled adapter) is reported by the next read and write, not
// taken for a silent line.
TEST_F(ComPortWin32, HangUpRaisesTheReadErrorNotSilence) {
    ASSERT_FALSE(hangUpPort.empty());
    auto port = MakePort(hangUpPort);
    EXPECT_NE(Ask(*port, "AT\r").find("OK\r\n"), std::string::npos);
    port->Write("AT\r", 3);
    std::string failure;
    EXPECT_TRUE(WaitUntil(
        [&] {
            failure = ThrownText([&] {
                char buf[16];
                uint32_t received = 0;
                port->WaitReadable(50);
                port->Read(buf, sizeof buf, received);
            });
            return failure != "<no exception>";
        },
        5s));
    EXPECT_EQ(failure, "An error occured when reading data from com port!");
    EXPECT_EQ(ThrownText([&] { port->Write("AT\r", 3); }), "Could not write data to com port!");
    port->Close();
    EXPECT_FALSE(port->IsOpen());
}

}  // namespace
