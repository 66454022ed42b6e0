#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "persistence/profilefile.h"

// What the command line does: read to ports run a job on each unit, after connecting as the
// window's Connect does; ports lists the serial ports and check examines a profile, without a
// unit.
enum class ECliCommand : uint8_t { read, write, reset, clearSim, diff, ports, check };

// What one invocation asks for, checked for consistency by ParseCommandLine.
struct CCliOptions {
    ECliCommand command = ECliCommand::read;
    // One unit per port, all served at once; no port twice.
    std::vector<std::string> ports;
    // read: where the unit's values go; write, diff, check: where the new values come from.
    // "%p" stands for the port (see ProfileForPort); "-" for standard output (read) or
    // standard input.
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
    // One JSON object per unit (or port) on standard output in place of the result line.
    bool json = false;
    // ports: ask each port whether a supported module answers.
    bool probe = false;
    // What messages call the profile when it is not its file name (a temporary file standing
    // in for a standard stream); empty for the file name.
    std::string profileShownAs;
};

// The profile option's stand-in for the standard streams.
inline constexpr char kStandardStreamProfile[] = "-";

// Where the SIM's codes may come from besides --pin and --puk: the environment, which neither
// `ps` nor the shell's history shows. Read by the caller, so parsing touches no process state.
struct CCodeSources {
    std::optional<std::string> pinVariable;  // SENDIBOX_PIN
    std::optional<std::string> pukVariable;  // SENDIBOX_PUK
};

struct CParsedCommandLine {
    enum class EAction : uint8_t { run, help, version, usageError };
    EAction action = EAction::usageError;
    CCliOptions options;
    // Why the command line was refused, for usageError.
    std::string error;
};

// `args` without the program name. Options may come before or after the command, as
// "--name value" or "--name=value". Refused: unknown options and commands, options the command
// does not use, a missing --port, --profile or (for reset and clear-sim) --yes, codes that are
// not 4 to 8 digits, a code file that cannot be read, and a read of several units, or a trace
// of several units, into one file. A code given on the line or in a file wins over `codes`.
CParsedCommandLine ParseCommandLine(const std::vector<std::string>& args,
                                    const CCodeSources& codes = {});

// The text of --help.
std::string UsageText();
// The line after a refusal that points to --help.
std::string TryHelpText();
// The text of --version.
std::string VersionText();

std::string CommandName(ECliCommand command);

// `text` with the profile's file name replaced by what messages call it (profileShownAs), so
// that a temporary file standing in for a standard stream is never named.
std::string WithProfileShown(const CCliOptions& options, std::string text);

// The profile of one unit: "%p" in `profile` becomes the port's name without its folder
// ("/dev/ttyUSB0" and "ttyUSB0" give "ttyUSB0"), so a bench of units can be read into, or
// written from, a file each.
std::string ProfileForPort(const std::string& profile, const std::string& port);
