#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// "Find Unit": asks a port, with the connection check's "ATI", whether a supported module
// answers on it, so a technician with several adapters picks the right one without trying
// each. Only on request: the question goes out on every port it is given.
struct CProbeResult {
    enum class EKind : uint8_t {
        // A supported module answered.
        unit,
        // Something answered "ATI", but it is not the unit's module.
        otherDevice,
        // Nothing answered in time.
        silent,
        // The port could not be opened (in another program's use, removed, no permission).
        unavailable
    };
    EKind kind = EKind::silent;
    // unit: the module's maker and model ("SIEMENS MC35i"); otherDevice: its answer on one
    // line; unavailable: why the port did not open. Windows-1252 as the module sent it, or
    // the port's own message.
    std::string text;

    bool operator==(const CProbeResult&) const = default;
};

struct CProbeSettings {
    // "ATI" attempts on a silent port, each waiting for the connection check's reply time.
    int32_t attempts = 2;
    // Tests against the simulated unit shorten these; the connection check's own when unset.
    std::optional<uint32_t> replyTimeoutMs;
    std::optional<std::chrono::milliseconds> writePause;
};

// Opens the port as Connect does, asks, and closes it again. Never throws for the port's sake.
CProbeResult ProbeForUnit(const std::string& portName, const CProbeSettings& settings = {});

// Every port at once, a thread each, so the search takes as long as the slowest port; the
// results are in the order of `portNames`.
std::vector<CProbeResult> ProbeForUnits(const std::vector<std::string>& portNames,
                                        const CProbeSettings& settings = {});
