#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "operations/sequencerview.h"

// What one run of the sequencer did, for the front ends' reports and the record of every unit:
// filled while the run goes on and complete when the view hears RunEnded.
struct CRunSummary {
    enum class EOperation : uint8_t { connect, write, reset, clearSim };
    // Whether the unit was read back after a write or reset and held what was sent.
    enum class EVerification : uint8_t { notRun, verified, differs };

    EOperation operation = EOperation::connect;
    ERunOutcome outcome = ERunOutcome::ready;
    // "SM" or "ME" once the configuration store is known, else empty.
    std::string store;
    // The failure as the view was shown it (lines separated by "\n"), empty on success.
    std::string failureText;
    // A command that stores or erases configuration was sent.
    bool unitChanged = false;

    EVerification verification = EVerification::notRun;
    // One line per difference found by the verification, in the language's words.
    std::vector<std::string> differences;

    // What the run sent, as planned when it started (a fallback that rewrites every message
    // counts all 28).
    int32_t settingsWritten = 0;
    int32_t accessNumbersWritten = 0;
    int32_t messagesWritten = 0;
    int32_t messagesErased = 0;
    int32_t entriesErased = 0;

    // The unit's module as the connect found it: maker and model from its identification, its
    // serial number (IMEI) when it gave one; each empty while unknown. A write, reset or clear
    // keeps those of the connect before it.
    std::string maker;
    std::string model;
    std::string imei;
};
