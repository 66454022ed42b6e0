// sendibox-unitsim: the simulated unit as a program, for the demo and for trying the tool
// without hardware. Runs until SIGINT or SIGTERM, or until its line hangs up.

#include <signal.h>

#include <cstdlib>
#include <ctime>
#include <iostream>
#include <string>
#include <vector>

#include "unitsim/unitsimulator.h"

namespace {

const char kUsage[] =
    "usage: sendibox-unitsim [--link PATH] [--state FILE] [options]\n"
    "\n"
    "Emulates the unit's GSM module on a pseudo-terminal and prints the path to open.\n"
    "\n"
    "  --link PATH            publish the terminal as a symbolic link PATH (removed at exit)\n"
    "  --state FILE           unit state (JSON); created when missing, saved on every change\n"
    "  --baud N               pace the output at N baud, 10 bits a byte (default: unpaced)\n"
    "  --latency-ms N         wait N ms before each reply\n"
    "  --log FILE             write every command received to FILE, one per line\n"
    "  --maker NAME           maker named by ATI (default from the state: SIEMENS)\n"
    "  --model NAME           model named by ATI\n"
    "  --revision TEXT        revision line of ATI\n"
    "  --sim-busy-ms N        the SIM stays busy N ms after a correct PIN or PUK\n"
    "\n"
    "Faults; PATTERN is matched, ignoring case, against each command line (and message\n"
    "text) received; PATTERN#N picks the N-th match, PATTERN#N+ the N-th and all later ones:\n"
    "  --error-on PATTERN     answer ERROR and do nothing\n"
    "  --ignore PATTERN       give no answer and do nothing\n"
    "  --lose-reply PATTERN   do the command, give no answer\n"
    "  --urc PATTERN LINE     send the unsolicited LINE before the answer\n"
    "  --urc-inside PATTERN LINE  send it between the answer's lines and its result code\n"
    "  --urc-after PATTERN LINE  send it after the answer\n"
    "  --misstore PATTERN VALUE  do the command and answer as usual, but store VALUE as the\n"
    "                         phonebook number or message text\n"
    "  --store-index-fault N  the N-th message stored goes to another free index than the\n"
    "                         lowest\n"
    "  --hangup-after N       drop the line, like a pulled adapter, when a command follows the\n"
    "                         N-th one\n"
    "\n"
    "  --help                 this text\n"
    "  --version              the program's version\n"
    "\n"
    "Ends with status 0 on SIGTERM or a hang-up, 130 on Ctrl-C (SIGINT), 1 when the state\n"
    "cannot be used, 2 for a refused command line.\n";

[[noreturn]] void Fail(const std::string& message) {
    std::cerr << "sendibox-unitsim: " << message << "\n"
              << "Try 'sendibox-unitsim --help' for more information.\n";
    std::exit(2);
}

int ToNumber(const std::string& option, const std::string& text) {
    try {
        std::size_t used = 0;
        const int value = std::stoi(text, &used);
        if (used == text.size() && value >= 0) {
            return value;
        }
    } catch (const std::exception&) {
    }
    Fail(option + " needs a number, not \"" + text + "\"");
}

CCommandFault ParseFault(CCommandFault::Action action, std::string pattern) {
    CCommandFault fault;
    fault.action = action;
    const std::size_t hash = pattern.rfind('#');
    if (hash != std::string::npos) {
        std::string count = pattern.substr(hash + 1);
        const bool following = !count.empty() && count.back() == '+';
        if (following) {
            count.pop_back();
        }
        if (!count.empty() && count.find_first_not_of("0123456789") == std::string::npos) {
            fault.nth = std::max(std::stoi(count), 1);
            fault.andFollowing = following;
            pattern.resize(hash);
        }
    }
    fault.pattern = pattern;
    return fault;
}

}  // namespace

int main(int argc, char** argv) {
    CUnitSimulatorOptions options;
    const std::vector<std::string> args(argv + 1, argv + argc);
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& option = args[i];
        const auto value = [&]() -> std::string {
            if (i + 1 >= args.size()) {
                Fail(option + " needs a value");
            }
            return args[++i];
        };
        if (option == "--help" || option == "-h") {
            std::cout << kUsage;
            return 0;
        } else if (option == "--version") {
            std::cout << "sendibox-unitsim " << SENDIBOX_VERSION << "\n";
            return 0;
        } else if (option == "--link") {
            options.linkPath = value();
        } else if (option == "--state") {
            options.statePath = value();
        } else if (option == "--baud") {
            options.baud = static_cast<unsigned>(ToNumber(option, value()));
        } else if (option == "--latency-ms") {
            options.latencyMs = static_cast<unsigned>(ToNumber(option, value()));
        } else if (option == "--log") {
            options.logPath = value();
        } else if (option == "--maker") {
            options.maker = value();
        } else if (option == "--model") {
            options.model = value();
        } else if (option == "--revision") {
            options.revision = value();
        } else if (option == "--sim-busy-ms") {
            options.simBusyMs = ToNumber(option, value());
        } else if (option == "--error-on") {
            options.faults.push_back(ParseFault(CCommandFault::Action::Error, value()));
        } else if (option == "--ignore") {
            options.faults.push_back(ParseFault(CCommandFault::Action::Ignore, value()));
        } else if (option == "--lose-reply") {
            options.faults.push_back(ParseFault(CCommandFault::Action::LoseReply, value()));
        } else if (option == "--urc" || option == "--urc-inside" || option == "--urc-after") {
            const CCommandFault::Action where =
                option == "--urc"          ? CCommandFault::Action::UnsolicitedBefore
                : option == "--urc-inside" ? CCommandFault::Action::UnsolicitedInside
                                           : CCommandFault::Action::UnsolicitedAfter;
            CCommandFault fault = ParseFault(where, value());
            fault.text = value();
            options.faults.push_back(fault);
        } else if (option == "--misstore") {
            CCommandFault fault = ParseFault(CCommandFault::Action::Misstore, value());
            fault.text = value();
            options.faults.push_back(fault);
        } else if (option == "--store-index-fault") {
            options.storeIndexFault = ToNumber(option, value());
        } else if (option == "--hangup-after") {
            options.hangUpAfter = ToNumber(option, value());
        } else {
            Fail("unknown option " + option);
        }
    }

    int status = 0;
    try {
        // The state is loaded before the stop signals are blocked, so that Ctrl-C and SIGTERM
        // still end a start that cannot get on; the loader itself never waits on what it opens.
        CUnitSimulator simulator(options);
        // From here the signals are taken synchronously below; the worker thread inherits the
        // mask.
        sigset_t stopSignals;
        sigemptyset(&stopSignals);
        sigaddset(&stopSignals, SIGINT);
        sigaddset(&stopSignals, SIGTERM);
        sigaddset(&stopSignals, SIGHUP);
        pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
        simulator.Start();
        std::cout << simulator.PortPath() << std::endl;
        const timespec tick{0, 200'000'000};
        for (;;) {
            if (const int signal = sigtimedwait(&stopSignals, nullptr, &tick); signal > 0) {
                // Ctrl-C is reported as an interrupted program is; a stop asked for by
                // SIGTERM or a hang-up is the normal end.
                status = signal == SIGINT ? 128 + SIGINT : 0;
                break;
            }
            if (simulator.IsHungUp()) {
                std::cerr << "sendibox-unitsim: the line hung up" << std::endl;
                break;
            }
        }
        simulator.Stop();
    } catch (const std::exception& e) {
        std::cerr << "sendibox-unitsim: " << e.what() << std::endl;
        return 1;
    }
    return status;
}
