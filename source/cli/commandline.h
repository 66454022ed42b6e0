#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "persistence/profilefile.h"

// The jobs the command line runs on each unit, after connecting as the window's Connect does.
enum class ECliCommand : uint8_t { read, write, reset, clearSim };

// What one invocation asks for, checked for consistency by ParseCommandLine.
struct CCliOptions {
    ECliCommand command = ECliCommand::read;
    // One unit per port, all served at once; no port twice.
    std::vector<std::string> ports;
    // read: where the unit's values go; write: where the new values come from. "%p" stands for
    // the port (see ProfileForPort).
    std::string profile;
    // read: CProfileFile::kSaveCurrentValues or kSaveNewValues.
    int32_t saveChoice = CProfileFile::kSaveCurrentValues;
    // The SIM's codes, each 4 to 8 digits or empty when not given. For a PUK request `pin` is
    // the new PIN.
    std::string pin;
    std::string puk;
    // write, reset: read the unit back afterwards and fail on any difference.
    bool verify = true;
    // The records file to append to instead of records.csv in the settings folder; empty for
    // that one.
    std::string record;
    // Where the communication log of each unit goes, "%p" standing for the port as in
    // `profile`; empty for none.
    std::string trace;
    // One JSON object per unit on standard output in place of the result line.
    bool json = false;
};

struct CParsedCommandLine {
    enum class EAction : uint8_t { run, help, usageError };
    EAction action = EAction::usageError;
    CCliOptions options;
    // Why the command line was refused, for usageError.
    std::string error;
};

// `args` without the program name. Options may come before or after the command, as
// "--name value" or "--name=value". Refused: unknown options and commands, options the command
// does not use, a missing --port, --profile or (for reset and clear-sim) --yes, codes that are
// not 4 to 8 digits, and a read of several units, or a trace of several units, into one file.
CParsedCommandLine ParseCommandLine(const std::vector<std::string>& args);

// The text of --help.
std::string UsageText();

std::string CommandName(ECliCommand command);

// The profile of one unit: "%p" in `profile` becomes the port's name without its folder
// ("/dev/ttyUSB0" and "ttyUSB0" give "ttyUSB0"), so a bench of units can be read into, or
// written from, a file each.
std::string ProfileForPort(const std::string& profile, const std::string& port);
