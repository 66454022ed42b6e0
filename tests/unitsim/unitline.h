#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "seriallink/comport.h"
#include "unitsim/unitsimulator.h"

// A folder of its own for each test, so parallel test processes never share a path.
struct TempFolder {
    std::filesystem::path path;
    TempFolder() {
        char name[] = "/tmp/unitsim-test-XXXXXX";
        path = ::mkdtemp(name);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::string operator/(const std::string& name) const { return (path / name).string(); }
};

// Whether a reply is over: a final result code, or the prompt for a message text.
inline bool IsFinalReply(const std::string& reply) {
    const auto endsWith = [&](const std::string& tail) {
        return reply.size() >= tail.size() &&
               reply.compare(reply.size() - tail.size(), tail.size(), tail) == 0;
    };
    if (endsWith("\r\nOK\r\n") || endsWith("\r\nERROR\r\n") || endsWith("\r\n> ")) {
        return true;
    }
    // "\r\n+CME ERROR: <code or text>\r\n", and the same with +CMS.
    if (!endsWith("\r\n") || reply.size() < 4) {
        return false;
    }
    const std::size_t start = reply.rfind("\r\n", reply.size() - 3);
    if (start == std::string::npos) {
        return false;
    }
    const std::string last = reply.substr(start + 2);
    return last.rfind("+CME ERROR: ", 0) == 0 || last.rfind("+CMS ERROR: ", 0) == 0;
}

// The client end: the real port class on the simulator's published link.
class UnitLine {
public:
    explicit UnitLine(const std::string& path) {
        port.SetPortName(path);
        port.SetSettings("57600,n,8,1");
        port.Open();
    }

    std::string Exchange(const std::string& command) {
        Send(command);
        return ReadReply();
    }
    void Send(const std::string& bytes) {
        port.Write(bytes.data(), static_cast<uint32_t>(bytes.size()));
    }
    // Collects bytes until the reply is final or the bound has passed.
    std::string ReadReply(std::chrono::milliseconds bound = std::chrono::seconds(3)) {
        std::string reply;
        const auto deadline = std::chrono::steady_clock::now() + bound;
        while (!IsFinalReply(reply)) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0) {
                break;
            }
            port.WaitReadable(static_cast<uint32_t>(left.count()));
            char buffer[512];
            uint32_t received = 0;
            port.Read(buffer, sizeof buffer, received);
            reply.append(buffer, received);
        }
        return reply;
    }
    // Collects bytes until `count` have arrived or the bound has passed.
    std::string ReadCount(std::size_t count,
                          std::chrono::milliseconds bound = std::chrono::seconds(3)) {
        std::string got;
        const auto deadline = std::chrono::steady_clock::now() + bound;
        while (got.size() < count) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0) {
                break;
            }
            port.WaitReadable(static_cast<uint32_t>(left.count()));
            char buffer[512];
            uint32_t received = 0;
            port.Read(
                buffer,
                static_cast<uint32_t>(std::min<std::size_t>(sizeof buffer, count - got.size())),
                received);
            got.append(buffer, received);
        }
        return got;
    }
    // True when nothing arrives within the time given.
    bool QuietFor(std::chrono::milliseconds time) {
        return !port.WaitReadable(static_cast<uint32_t>(time.count()));
    }

    CComPort port;
};

inline const std::string kOk = "\r\nOK\r\n";
inline const std::string kError = "\r\nERROR\r\n";

inline std::string Info(const std::string& lines) {
    return "\r\n" + lines + "\r\n" + kOk;
}

// Starts a simulated unit in a fresh folder and connects the real port to its link.
class UnitSimTest : public ::testing::Test {
protected:
    void StartUnit(const CUnitState& state = CUnitState(),
                   const std::function<void(CUnitSimulatorOptions&)>& adjust = {}) {
        CUnitSimulatorOptions options;
        options.statePath = folder / "unit.json";
        options.linkPath = folder / "port";
        options.initialState = state;
        if (adjust) {
            adjust(options);
        }
        line.reset();
        sim = std::make_unique<CUnitSimulator>(options);
        sim->Start();
        line = std::make_unique<UnitLine>(sim->PortPath());
    }

    // Sends each command and expects exactly its reply bytes.
    void ExpectReplies(const std::vector<std::pair<std::string, std::string>>& table) {
        for (const auto& [command, expected] : table) {
            EXPECT_EQ(line->Exchange(command), expected) << "command: " << command;
        }
    }

    TempFolder folder;
    std::unique_ptr<CUnitSimulator> sim;
    std::unique_ptr<UnitLine> line;  // closed before the simulator stops
};
