#include "cli/commandline.h"

#include <algorithm>
#include <fstream>
#include <optional>
#include <set>

#include "atcomm/controllerpin.h"

namespace {

constexpr char kPortPlaceholder[] = "%p";

constexpr char kUsage[] =
    "usage: sendibox-cli COMMAND [options]\n"
    "\n"
    "Runs the window's unit operations from scripts and on benches of units. The unit\n"
    "commands connect to each unit as the window's Connect does, run, and disconnect;\n"
    "several --port options serve several units at once. Progress goes to standard error,\n"
    "one result line per unit to standard output.\n"
    "\n"
    "Unit commands (each needs --port):\n"
    "  read --profile FILE [--values current|new]\n"
    "                    read the unit and save its values (current values by default)\n"
    "  write --profile FILE\n"
    "                    read the unit, load the profile as new values, check them and write\n"
    "                    them; an invalid profile is refused before any unit is contacted\n"
    "  diff --profile FILE\n"
    "                    read the unit and list what writing the profile would change,\n"
    "                    without writing\n"
    "  reset --yes       erase the access numbers and alarm messages, write the default settings\n"
    "  clear-sim --yes   erase the phonebook of the SIM card\n"
    "\n"
    "Other commands (no unit is contacted):\n"
    "  ports [--probe]   list the serial ports that can be opened, with maker, product, serial\n"
    "                    number and /dev/serial/by-id name; --probe asks each port with \"ATI\"\n"
    "                    and marks where a supported module answers\n"
    "  check --profile FILE\n"
    "                    check a profile as Write would, and list every problem\n"
    "\n"
    "Options:\n"
    "  --port PORT       a device name (ttyUSB0) or a path (/dev/serial/by-id/...)\n"
    "  --profile FILE    \"%p\" in FILE stands for the port's name without its folder\n"
    "                    (ttyUSB0), for a file per unit; reading several units needs it.\n"
    "                    \"-\" is standard output for read (the result line then goes to\n"
    "                    standard error) and standard input for write, diff and check\n"
    "  --values current|new\n"
    "                    read: which side of the values the profile keeps\n"
    "  --yes             confirm reset or clear-sim\n"
    "  --no-verify       write, reset: do not read the unit back to check it afterwards\n"
    "  --pin-file FILE   the SIM's PIN, on the first line of FILE, given once if the SIM asks\n"
    "                    for it; never retried. The environment variable SENDIBOX_PIN does\n"
    "                    the same; both keep the code out of the process list and the history\n"
    "  --puk-file FILE   the SIM's PUK if it asks for one, the new PIN then being the PIN;\n"
    "                    or SENDIBOX_PUK\n"
    "  --pin CODE, --puk CODE\n"
    "                    the same on the command line, where other users can see them\n"
    "  --record FILE     append the record of each connect, write, reset and clear to FILE\n"
    "                    instead of records.csv in the settings folder\n"
    "  --trace FILE      write every byte sent to and received from each unit to FILE, one\n"
    "                    line per command and reply line, SIM codes masked; \"%p\" as in\n"
    "                    --profile, needed for several units\n"
    "  --json            print one JSON object per unit (or port) on standard output instead\n"
    "                    of the result line\n"
    "  --help            this text\n"
    "  --version         the program's version\n"
    "\n"
    "Exit status: 0 when every unit succeeded (ports --probe: a unit answered; check: the\n"
    "profile can be written), 1 when one did not, 2 for a command line or a profile that\n"
    "cannot be used (no unit contacted), 130 when stopped with Ctrl-C.\n"
    "\n"
    "Settings and the language come from the settings.txt the window uses, in\n"
    "$XDG_CONFIG_HOME/sendibox-config/ (~/.config/sendibox-config/); the records go beside it.\n";

struct CCommandName {
    const char* name;
    ECliCommand command;
};

constexpr CCommandName kCommands[] = {
    {"read", ECliCommand::read},   {"write", ECliCommand::write},
    {"reset", ECliCommand::reset}, {"clear-sim", ECliCommand::clearSim},
    {"diff", ECliCommand::diff},   {"ports", ECliCommand::ports},
    {"check", ECliCommand::check}};

// The options each command uses; any other that is given is refused.
const std::set<std::string>& AllowedOptions(ECliCommand command) {
    static const std::set<std::string> kConnecting = {
        "--port", "--pin", "--puk", "--pin-file", "--puk-file", "--record", "--trace", "--json"};
    const auto with = [](std::set<std::string> more) {
        more.insert(kConnecting.begin(), kConnecting.end());
        return more;
    };
    static const std::set<std::string> kRead = with({"--profile", "--values"});
    static const std::set<std::string> kWrite = with({"--profile", "--no-verify"});
    static const std::set<std::string> kReset = with({"--yes", "--no-verify"});
    static const std::set<std::string> kClearSim = with({"--yes"});
    static const std::set<std::string> kDiff = with({"--profile"});
    static const std::set<std::string> kPorts = {"--probe", "--json"};
    static const std::set<std::string> kCheck = {"--profile"};
    switch (command) {
        case ECliCommand::read:
            return kRead;
        case ECliCommand::write:
            return kWrite;
        case ECliCommand::reset:
            return kReset;
        case ECliCommand::clearSim:
            return kClearSim;
        case ECliCommand::diff:
            return kDiff;
        case ECliCommand::ports:
            return kPorts;
        case ECliCommand::check:
            break;
    }
    return kCheck;
}

bool ConnectsToUnits(ECliCommand command) {
    return command != ECliCommand::ports && command != ECliCommand::check;
}

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
    // Every option given, by name, in the order given.
    std::vector<std::string> given;
    std::vector<std::string> ports;
    std::optional<std::string> profile;
    std::optional<std::string> values;
    bool yes = false;
    bool noVerify = false;
    std::optional<std::string> pin;
    std::optional<std::string> puk;
    std::optional<std::string> pinFile;
    std::optional<std::string> pukFile;
    std::optional<std::string> record;
    std::optional<std::string> trace;
    bool json = false;
    bool probe = false;
};

// The first line of a code file without its line end and surrounding blanks; nothing when the
// file cannot be read. A code file is a few bytes; more is not looked at.
std::optional<std::string> ReadCodeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::string line;
    line.resize(64);
    in.read(line.data(), static_cast<std::streamsize>(line.size()));
    if (in.bad()) {
        return std::nullopt;
    }
    line.resize(static_cast<std::size_t>(in.gcount()));
    line = line.substr(0, line.find_first_of("\r\n"));
    const std::size_t first = line.find_first_not_of(" \t");
    const std::size_t last = line.find_last_not_of(" \t");
    return first == std::string::npos ? std::string() : line.substr(first, last - first + 1);
}

class CParser {
public:
    CParser(const std::vector<std::string>& args, const CCodeSources& codes)
        : args(args), codes(codes) {}

    CParsedCommandLine Parse();

private:
    bool Gather(CGathered& gathered);
    bool TakeValue(const std::string& name, std::optional<std::string> inlineValue,
                   std::string& value);
    bool Check(const CGathered& gathered, CCliOptions& options);
    bool TakeCodes(const CGathered& gathered, CCliOptions& options);
    bool Refuse(std::string message) {
        error = std::move(message);
        return false;
    }

    const std::vector<std::string>& args;
    const CCodeSources& codes;
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
        if (name == "--yes" || name == "--no-verify" || name == "--json" || name == "--probe") {
            if (inlineValue) {
                return Refuse(name + " takes no value");
            }
            (name == "--yes"     ? gathered.yes
             : name == "--json"  ? gathered.json
             : name == "--probe" ? gathered.probe
                                 : gathered.noVerify) = true;
            gathered.given.push_back(name);
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
        } else if (name == "--pin-file") {
            single = &gathered.pinFile;
        } else if (name == "--puk-file") {
            single = &gathered.pukFile;
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
        gathered.given.push_back(name);
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
    const bool withProfile = AllowedOptions(options.command).contains("--profile");
    for (const std::string& name : gathered.given) {
        if (!AllowedOptions(options.command).contains(name)) {
            return Refuse(command + " does not use " + name);
        }
    }

    if (gathered.ports.empty() && ConnectsToUnits(options.command)) {
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
    if (gathered.profile) {
        options.profile = *gathered.profile;
        if (options.profile == kStandardStreamProfile && options.command == ECliCommand::read &&
            options.ports.size() > 1) {
            return Refuse("reading several units needs a file each, not standard output");
        }
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
    options.verify = !gathered.noVerify;

    options.record = gathered.record.value_or(std::string());
    options.json = gathered.json;
    options.probe = gathered.probe;
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

    return TakeCodes(gathered, options);
}

bool CParser::TakeCodes(const CGathered& gathered, CCliOptions& options) {
    if (!ConnectsToUnits(options.command)) {
        return true;
    }
    struct CCode {
        const char* option;
        const char* fileOption;
        const char* variable;
        const std::optional<std::string>& given;
        const std::optional<std::string>& file;
        const std::optional<std::string>& inEnvironment;
        std::string& target;
    };
    const CCode all[] = {{"--pin", "--pin-file", "SENDIBOX_PIN", gathered.pin, gathered.pinFile,
                          codes.pinVariable, options.pin},
                         {"--puk", "--puk-file", "SENDIBOX_PUK", gathered.puk, gathered.pukFile,
                          codes.pukVariable, options.puk}};
    for (const CCode& code : all) {
        std::string from;
        std::optional<std::string> value;
        if (code.given && code.file) {
            return Refuse(std::string("give ") + code.option + " or " + code.fileOption +
                          ", not both");
        }
        if (code.given) {
            from = code.option;
            value = code.given;
        } else if (code.file) {
            value = ReadCodeFile(*code.file);
            if (!value) {
                return Refuse(std::string(code.fileOption) + ": " + *code.file + " cannot be read");
            }
            from = std::string(code.fileOption) + " " + *code.file;
        } else if (code.inEnvironment && !code.inEnvironment->empty()) {
            from = code.variable;
            value = code.inEnvironment;
        }
        if (value) {
            if (!CControllerPin::IsValidCode(*value)) {
                return Refuse(from + " needs 4 to 8 digits");
            }
            code.target = *value;
        }
    }
    return true;
}

CParsedCommandLine CParser::Parse() {
    CParsedCommandLine parsed;
    // Help wins over everything else on the line, so "--help" is never refused; the version
    // comes next.
    if (std::any_of(args.begin(), args.end(),
                    [](const std::string& arg) { return arg == "--help" || arg == "-h"; })) {
        parsed.action = CParsedCommandLine::EAction::help;
        return parsed;
    }
    if (std::find(args.begin(), args.end(), "--version") != args.end()) {
        parsed.action = CParsedCommandLine::EAction::version;
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

CParsedCommandLine ParseCommandLine(const std::vector<std::string>& args,
                                    const CCodeSources& codes) {
    return CParser(args, codes).Parse();
}

std::string UsageText() {
    return kUsage;
}

std::string TryHelpText() {
    return "Try 'sendibox-cli --help' for more information.";
}

std::string VersionText() {
    return std::string("sendibox-cli ") + SENDIBOX_VERSION + "\n";
}

std::string CommandName(ECliCommand command) {
    for (const CCommandName& entry : kCommands) {
        if (entry.command == command) {
            return entry.name;
        }
    }
    return {};
}

std::string WithProfileShown(const CCliOptions& options, std::string text) {
    if (options.profileShownAs.empty() || options.profile.empty()) {
        return text;
    }
    for (std::size_t at = text.find(options.profile); at != std::string::npos;
         at = text.find(options.profile, at + options.profileShownAs.size())) {
        text.replace(at, options.profile.size(), options.profileShownAs);
    }
    return text;
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
