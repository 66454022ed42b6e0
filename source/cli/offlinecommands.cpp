#include "cli/offlinecommands.h"

#include <algorithm>

#include "cli/clijson.h"
#include "cli/clioutput.h"
#include "cli/jobrunner.h"
#include "cli/profilecheck.h"

std::string COfflineCommands::PortLine(const CPortInfo& port, const CProbeResult* probe) {
    std::string known = DescribePort(port);
    if (!port.byId.empty()) {
        known += (known.empty() ? "" : " ") + ("(" + port.byId + ")");
    }
    std::string line = known.empty() ? port.name : port.name + ": " + known;
    if (probe == nullptr) {
        return line;
    }
    using Kind = CProbeResult::EKind;
    switch (probe->kind) {
        case Kind::unit:
            return line + " - unit found: " + CCliOutput::Text(probe->text);
        case Kind::otherDevice:
            return line + " - another device answers: " + CCliOutput::Text(probe->text);
        case Kind::silent:
            return line + " - no answer";
        case Kind::unavailable:
            break;
    }
    return line + " - cannot be opened: " + CCliOutput::OneLine(probe->text);
}

int COfflineCommands::Ports(const CCliOptions& options, CCliOutput& output, const TLister& list,
                            const TProber& probe) {
    const std::vector<CPortInfo> ports = list();
    if (ports.empty()) {
        output.Progress("sendibox-cli: no serial port can be opened");
        return options.probe ? CJobRunner::kExitFailed : CJobRunner::kExitOk;
    }
    std::vector<CProbeResult> found;
    if (options.probe) {
        std::vector<std::string> names;
        for (const CPortInfo& port : ports) {
            names.push_back(port.name);
        }
        output.Progress("sendibox-cli: asking " + std::to_string(names.size()) +
                        (names.size() == 1 ? " port" : " ports") + " for a unit");
        found = probe(names);
        found.resize(ports.size());
    }
    for (std::size_t i = 0; i < ports.size(); ++i) {
        const CProbeResult* result = options.probe ? &found[i] : nullptr;
        output.Result(options.json ? PortInfoJson(ports[i], result) : PortLine(ports[i], result));
    }
    if (!options.probe) {
        return CJobRunner::kExitOk;
    }
    const bool unitFound = std::any_of(found.begin(), found.end(), [](const CProbeResult& r) {
        return r.kind == CProbeResult::EKind::unit;
    });
    return unitFound ? CJobRunner::kExitOk : CJobRunner::kExitFailed;
}

int COfflineCommands::Check(const CCliOptions& options, bool checkCountryCode,
                            const CAppLanguage& language, CCliOutput& output) {
    const std::string shownAs =
        options.profileShownAs.empty() ? options.profile : options.profileShownAs;
    const CProfileVerdict verdict =
        CProfileCheck::Examine(options.profile, checkCountryCode, language);
    if (!verdict.readable) {
        output.Progress("sendibox-cli: " + WithProfileShown(options, verdict.failure));
        output.Progress(TryHelpText());
        return CJobRunner::kExitUsage;
    }
    if (verdict.Writable()) {
        output.Result(shownAs + ": OK the profile can be written");
        return CJobRunner::kExitOk;
    }
    if (verdict.problems.empty()) {
        // Values that failed to load: one reason, no list.
        output.Result(shownAs + ": " + WithProfileShown(options, verdict.failure));
    }
    for (const std::string& problem : verdict.problems) {
        output.Result(shownAs + ": " + problem);
    }
    return CJobRunner::kExitFailed;
}
