#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>

#include "core/tempfolder.h"
#include "seriallink/comport.h"
#include "support/regex.h"
#include "unitsim/unitsimulator.h"

// The client end: the real port class on the simulator's published link.
class UnitLine {
public:
    explicit UnitLine(const std::string& path) {
        port.SetPortName(path);
        port.SetSettings("57600,n,8,1");
        port.Open();
    }

    // Sends the bytes, then collects what comes until the reply is over (a final result code or
    // the prompt for a message text) or the bound has passed.
    std::string Exchange(const std::string& command) {
        port.Write(command.data(), static_cast<uint32_t>(command.size()));
        static const std::regex kFinal("\r\n(OK|ERROR|\\+CM[ES] ERROR: [^\r\n]*)\r\n$|\r\n> $");
        std::string got;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
        while (!std::regex_search(got, kFinal)) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0) {
                break;
            }
            port.WaitReadable(static_cast<uint32_t>(left.count()));
            char buffer[512];
            uint32_t received = 0;
            port.Read(buffer, sizeof buffer, received);
            got.append(buffer, received);
        }
        return got;
    }

    CComPort port;
};

inline const std::string kOk = "\r\nOK\r\n";
inline const std::string kError = "\r\nERROR\r\n";

inline std::string Info(const std::string& lines) {
    return "\r\n" + lines + "\r\n" + kOk;
}

// A unit whose profile stored with AT&W has echo off, numeric error codes and text mode, so
// that a test's commands are the ones it is about.
inline CUnitState Quiet(CUnitState state = CUnitState()) {
    state.profile = {false, 1, true};
    return state;
}

// Starts a simulated unit in a fresh folder and connects the real port to its link.
class UnitSimTest : public TempFolderTest {
protected:
    void StartUnit(const CUnitState& state = CUnitState()) {
        CUnitSimulatorOptions options;
        options.statePath = folder / "unit.json";
        options.linkPath = folder / "port";
        options.initialState = state;
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

    std::unique_ptr<CUnitSimulator> sim;
    std::unique_ptr<UnitLine> line;  // closed before the simulator stops
};
