#include "operations/unitrecords.h"

#include <exception>
#include <utility>

#include "core/localtime.h"
#include "core/win1252.h"

CUnitRecords::CUnitRecords(std::string path, std::string toolVersion)
    : file(std::move(path)), toolVersion(std::move(toolVersion)) {}

std::vector<std::string> CUnitRecords::Header() {
    return {"Time",
            "Operation",
            "Port",
            "Maker",
            "Model",
            "IMEI",
            "Store",
            "Profile",
            "Result",
            "Verification",
            "Settings written",
            "Access numbers written",
            "Messages written",
            "Messages erased",
            "Entries erased",
            "Unit changed",
            "Failure",
            "Tool version"};
}

std::string CUnitRecords::OperationName(CRunSummary::EOperation operation) {
    switch (operation) {
        case CRunSummary::EOperation::connect:
            return "Connect";
        case CRunSummary::EOperation::write:
            return "Write";
        case CRunSummary::EOperation::reset:
            return "Reset Unit";
        case CRunSummary::EOperation::clearSim:
            return "Clear SIM";
    }
    return {};
}

std::string CUnitRecords::ResultWord(const CRunSummary& run) {
    switch (run.outcome) {
        case ERunOutcome::ready:
        case ERunOutcome::written:
            return "OK";
        case ERunOutcome::disconnected:
            return "CANCELLED";
        case ERunOutcome::failed:
        case ERunOutcome::restartUnit:
            break;
    }
    return "FAILED";
}

std::string CUnitRecords::VerificationText(const CRunSummary& run) {
    switch (run.verification) {
        case CRunSummary::EVerification::notRun:
            return {};
        case CRunSummary::EVerification::verified:
            return "verified";
        case CRunSummary::EVerification::differs:
            break;
    }
    std::string text = "differs:";
    for (std::size_t i = 0; i < run.differences.size(); ++i) {
        text += (i == 0 ? " " : "; ") + Win1252ToUtf8(run.differences[i]);
    }
    return text;
}

std::string CUnitRecords::FailureLine(const CRunSummary& run) {
    std::string line;
    std::size_t from = 0;
    const std::string& text = run.failureText;
    while (from <= text.size()) {
        std::size_t end = text.find_first_of("\r\n", from);
        if (end == std::string::npos) {
            end = text.size();
        }
        if (end > from) {
            line += (line.empty() ? "" : " - ") + text.substr(from, end - from);
        }
        from = end + 1;
    }
    return Win1252ToUtf8(line);
}

std::vector<std::string> CUnitRecords::Fields(const CRunSummary& run,
                                              const CRecordContext& context) const {
    const bool ok = ResultWord(run) == "OK";
    // The planned counts are what was done only when the run completed; for any other ending
    // "Unit changed" says whether the unit may now be partly written.
    const auto count = [ok](int32_t value) { return ok ? std::to_string(value) : std::string(); };
    return {IsoLocalTime(context.time),
            OperationName(run.operation),
            context.port,
            Win1252ToUtf8(run.maker),
            Win1252ToUtf8(run.model),
            Win1252ToUtf8(run.imei),
            run.store,
            context.profile,
            ResultWord(run),
            VerificationText(run),
            count(run.settingsWritten),
            count(run.accessNumbersWritten),
            count(run.messagesWritten),
            count(run.messagesErased),
            count(run.entriesErased),
            run.unitChanged ? "yes" : "no",
            FailureLine(run),
            toolVersion};
}

std::optional<std::string> CUnitRecords::Append(const CRunSummary& run,
                                                const CRecordContext& context) {
    try {
        file.Append(Header(), Fields(run, context));
        return std::nullopt;
    } catch (const std::exception& error) {
        if (failureReported.exchange(true)) {
            return std::nullopt;
        }
        return std::string(error.what());
    }
}
