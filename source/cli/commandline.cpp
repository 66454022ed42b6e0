#include "cli/commandline.h"

#include <algorithm>
#include <optional>
#include <set>
#include <tuple>

#include "atcomm/controllerpin.h"

namespace {

constexpr char kPortPlaceholder[] = "%p";

constexpr char kUsage[] =
    "usage: sendibox-cli COMMAND --port PORT [--port PORT ...] [options]\n"
    "\n"
    "Connects to each unit as the window's Connect does, runs the command, and disconnects.\n"
    "Several --port options serve several units at once. Progress goes to standard error,\n"
    "one result line per unit to standard output; the exit status is 0 only when every unit\n"
    "succeeded (1 when one failed, 2 for a command line that is refused).\n"
    "\n"
    "Commands:\n"
    "  read --profile FILE [--values current|new]\n"
    "                    read the unit and save its values (current values by default)\n"
    "  write --profile FILE\n"
    "                    read the unit, load the profile as new values, check them and write\n"
    "                    them; an invalid profile is refused before any unit is contacted\n"
    "  reset --yes       erase the access numbers and alarm messages, write the default settings\n"
    "  clear-sim --yes   erase the phonebook of the SIM card\n"
    "\n"
    "Options:\n"
    "  --port PORT       a device name (ttyUSB0) or a path (/dev/serial/by-id/...)\n"
    "  --profile FILE    \"%p\" in FILE stands for the port's name without its folder\n"
    "                    (ttyUSB0), for a file per unit; reading several units needs it\n"
    "  --values current|new\n"
    "                    read: which side of the values the profile keeps\n"
    "  --yes             confirm reset or clear-sim\n"
    "  --no-verify       write, reset: do not read the unit back to check it afterwards\n"
    "  --pin CODE        the SIM's PIN, given once if the SIM asks for it; never retried\n"
    "  --puk CODE        the SIM's PUK if it asks for one (with the new PIN in --pin)\n"
    "  --record FILE     append the record of each connect, write, reset and clear to FILE\n"
    "                    instead of records.csv in the window's settings folder\n"
    "  --trace FILE      write every byte sent to and received from each unit to FILE, one\n"
    "                    line per command and reply line, SIM codes masked; \"%p\" as in\n"
    "                    --profile, needed for several units\n"
    "  --json            print one JSON object per unit on standard output (port, result,\n"
    "                    identity, changes, verification, failure) instead of the result line\n"
    "  --help            this text\n"
    "\n"
    "Settings and the language come from the settings.txt the window uses; the records go\n"
    "beside it.\n";

struct CCommandName {
    const char* name;
    ECliCommand command;
};

constexpr CCommandName kCommands[] = {{"read", ECliCommand::read},
                                      {"write", ECliCommand::write},
                                      {"reset", ECliCommand::reset},
                                      {"clear-sim", ECliCommand::clearSim}};

std::optional<ECliCommand> FindCommand(const std::string& name) {
    for (const CCommandName& entry : kCommands) {
        if (name == entry.name) {
            return entry.command;
        }
    }
    return std::nullopt;
}

// Everything the loop gathers before the command's own rules are checked.
struct CGathered {
    std::optional<ECliCommand> command;
    std::vector<std::string> ports;
    std::optional<std::string> profile;
    std::optional<std::string> values;
    bool yes = false;
    bool noVerify = false;
    std::optional<std::string> pin;
    std::optional<std::string> puk;
    std::optional<std::string> record;
    std::optional<std::string> trace;
    bool json = false;
};

class CParser {
public:
    explicit CParser(const std::vector<std::string>& args) : args(args) {}

    CParsedCommandLine Parse();

private:
    bool Gather(CGathered& gathered);
    bool TakeValue(const std::string& name, std::optional<std::string> inlineValue,
                   std::string& value);
    bool Check(const CGathered& gathered, CCliOptions& options);
    bool Refuse(std::string message) {
        error = std::move(message);
        return false;
    }

    const std::vector<std::string>& args;
    std::size_t next = 0;
    std::string error;
};

bool CParser::TakeValue(const std::string& name, std::optional<std::string> inlineValue,
                        std::string& value) {
    if (inlineValue) {
        value = *inlineValue;
    } else if (next < args.size()) {
        value = args[next++];
    } else {
        return Refuse(name + " needs a value");
    }
    if (value.empty()) {
        return Refuse(name + " needs a value");
    }
    return true;
}

bool CParser::Gather(CGathered& gathered) {
    while (next < args.size()) {
        const std::string arg = args[next++];
        if (arg.rfind("--", 0) != 0 || arg == "--") {
            if (!arg.empty() && arg[0] == '-') {
                return Refuse("unknown option " + arg);
            }
            if (gathered.command) {
                return Refuse("unexpected argument \"" + arg + "\"");
            }
            gathered.command = FindCommand(arg);
            if (!gathered.command) {
                return Refuse("unknown command \"" + arg + "\"");
            }
            continue;
        }
        std::string name = arg;
        std::optional<std::string> inlineValue;
        if (const std::size_t equals = arg.find('='); equals != std::string::npos) {
            name = arg.substr(0, equals);
            inlineValue = arg.substr(equals + 1);
        }
        if (name == "--yes" || name == "--no-verify" || name == "--json") {
            if (inlineValue) {
                return Refuse(name + " takes no value");
            }
            (name == "--yes"    ? gathered.yes
             : name == "--json" ? gathered.json
                                : gathered.noVerify) = true;
            continue;
        }
        std::optional<std::string>* single = nullptr;
        if (name == "--profile") {
            single = &gathered.profile;
        } else if (name == "--values") {
            single = &gathered.values;
        } else if (name == "--pin") {
            single = &gathered.pin;
        } else if (name == "--puk") {
            single = &gathered.puk;
        } else if (name == "--record") {
            single = &gathered.record;
        } else if (name == "--trace") {
            single = &gathered.trace;
        } else if (name != "--port") {
            return Refuse("unknown option " + name);
        }
        std::string value;
        if (!TakeValue(name, inlineValue, value)) {
            return false;
        }
        if (single == nullptr) {
            gathered.ports.push_back(value);
        } else if (*single) {
            return Refuse(name + " given twice");
        } else {
            *single = value;
        }
    }
    return true;
}

bool CParser::Check(const CGathered& gathered, CCliOptions& options) {
    if (!gathered.command) {
        return Refuse("no command given");
    }
    options.command = *gathered.command;
    const std::string command = CommandName(options.command);
    const bool withProfile =
        options.command == ECliCommand::read || options.command == ECliCommand::write;

    if (gathered.ports.empty()) {
        return Refuse(command + " needs at least one --port");
    }
    const std::set<std::string> distinct(gathered.ports.begin(), gathered.ports.end());
    if (distinct.size() != gathered.ports.size()) {
        return Refuse("a port is given twice");
    }
    options.ports = gathered.ports;

    if (withProfile && !gathered.profile) {
        return Refuse(command + " needs --profile FILE");
    }
    if (!withProfile && gathered.profile) {
        return Refuse(command + " does not use --profile");
    }
    if (gathered.profile) {
        options.profile = *gathered.profile;
        if (options.command == ECliCommand::read && options.ports.size() > 1 &&
            options.profile.find(kPortPlaceholder) == std::string::npos) {
            return Refuse("reading several units needs \"%p\" in --profile, for a file each");
        }
        std::set<std::string> files;
        for (const std::string& port : options.ports) {
            files.insert(ProfileForPort(options.profile, port));
        }
        if (options.command == ECliCommand::read && files.size() != options.ports.size()) {
            return Refuse("two ports give the same --profile file");
        }
    }

    if (gathered.values) {
        if (options.command != ECliCommand::read) {
            return Refuse(command + " does not use --values");
        }
        if (*gathered.values == "current") {
            options.saveChoice = CProfileFile::kSaveCurrentValues;
        } else if (*gathered.values == "new") {
            options.saveChoice = CProfileFile::kSaveNewValues;
        } else {
            return Refuse("--values is current or new, not \"" + *gathered.values + "\"");
        }
    }

    if (options.command == ECliCommand::reset && !gathered.yes) {
        return Refuse(
            "reset erases every access number and alarm message on the unit and sets its "
            "settings back to their defaults; add --yes to confirm");
    }
    if (options.command == ECliCommand::clearSim && !gathered.yes) {
        return Refuse(
            "clear-sim erases every entry of the SIM card's phonebook; add --yes to confirm");
    }
    if (gathered.yes && withProfile) {
        return Refuse(command + " does not use --yes");
    }
    // Only a write and a reset are read back.
    if (gathered.noVerify && options.command != ECliCommand::write &&
        options.command != ECliCommand::reset) {
        return Refuse(command + " does not use --no-verify");
    }
    options.verify = !gathered.noVerify;

    options.record = gathered.record.value_or(std::string());
    options.json = gathered.json;
    if (gathered.trace) {
        options.trace = *gathered.trace;
        std::set<std::string> traces;
        for (const std::string& port : options.ports) {
            traces.insert(ProfileForPort(options.trace, port));
        }
        if (traces.size() != options.ports.size()) {
            return Refuse("tracing several units needs \"%p\" in --trace, for a file each");
        }
    }

    for (const auto& [name, code, target] : {std::tuple{"--pin", &gathered.pin, &options.pin},
                                             std::tuple{"--puk", &gathered.puk, &options.puk}}) {
        if (*code) {
            if (!CControllerPin::IsValidCode(**code)) {
                return Refuse(std::string(name) + " needs 4 to 8 digits");
            }
            *target = **code;
        }
    }
    return true;
}

CParsedCommandLine CParser::Parse() {
    CParsedCommandLine parsed;
    // Help wins over everything else on the line, so "--help" is never refused.
    if (std::any_of(args.begin(), args.end(),
                    [](const std::string& arg) { return arg == "--help" || arg == "-h"; })) {
        parsed.action = CParsedCommandLine::EAction::help;
        return parsed;
    }
    CGathered gathered;
    if (Gather(gathered) && Check(gathered, parsed.options)) {
        parsed.action = CParsedCommandLine::EAction::run;
    } else {
        parsed.action = CParsedCommandLine::EAction::usageError;
        parsed.error = error;
    }
    return parsed;
}

}  // namespace

CParsedCommandLine ParseCommandLine(const std::vector<std::string>& args) {
    return CParser(args).Parse();
}

std::string UsageText() {
    return kUsage;
}

std::string CommandName(ECliCommand command) {
    for (const CCommandName& entry : kCommands) {
        if (entry.command == command) {
            return entry.name;
        }
    }
    return {};
}

std::string ProfileForPort(const std::string& profile, const std::string& port) {
    std::string name = port;
    while (!name.empty() && name.back() == '/') {
        name.pop_back();
    }
    if (const std::size_t slash = name.rfind('/'); slash != std::string::npos) {
        name.erase(0, slash + 1);
    }
    std::string result;
    std::size_t from = 0;
    for (std::size_t at = profile.find(kPortPlaceholder); at != std::string::npos;
         at = profile.find(kPortPlaceholder, from)) {
        result += profile.substr(from, at - from) + name;
        from = at + 2;
    }
    return result + profile.substr(from);
}
