#include "cli/clijson.h"

#include <nlohmann/json.hpp>

#include "core/win1252.h"
#include "operations/unitrecords.h"

namespace {

using json = nlohmann::ordered_json;

json TextOrNull(const std::string& utf8) {
    return utf8.empty() ? json(nullptr) : json(utf8);
}

json Identity(const CRunSummary& run) {
    return {{"maker", TextOrNull(Win1252ToUtf8(run.maker))},
            {"model", TextOrNull(Win1252ToUtf8(run.model))},
            {"imei", TextOrNull(Win1252ToUtf8(run.imei))}};
}

json Changes(const CRunSummary& run) {
    const bool completed = CUnitRecords::ResultWord(run) == "OK";
    const auto count = [completed](int32_t value) { return completed ? json(value) : json(); };
    return {{"settingsWritten", count(run.settingsWritten)},
            {"accessNumbersWritten", count(run.accessNumbersWritten)},
            {"messagesWritten", count(run.messagesWritten)},
            {"messagesErased", count(run.messagesErased)},
            {"entriesErased", count(run.entriesErased)},
            {"unitChanged", run.unitChanged}};
}

json Verification(const CRunSummary& run) {
    switch (run.verification) {
        case CRunSummary::EVerification::verified:
            return "verified";
        case CRunSummary::EVerification::differs:
            return "differs";
        case CRunSummary::EVerification::notRun:
            break;
    }
    return nullptr;
}

}  // namespace

std::string UnitReportJson(const CUnitReport& report, ECliCommand command) {
    const char* result = report.ok ? "OK" : (report.cancelled ? "CANCELLED" : "FAILED");
    json object = {{"port", report.port},
                   {"command", CommandName(command)},
                   {"result", result},
                   {"ok", report.ok},
                   {"text", report.text}};
    constexpr std::string_view kFailed = "FAILED ";
    object["failure"] = !report.ok && report.text.starts_with(kFailed)
                            ? json(report.text.substr(kFailed.size()))
                            : json(nullptr);
    if (report.run) {
        const CRunSummary& run = *report.run;
        object["operation"] = CUnitRecords::OperationName(run.operation);
        object["store"] = TextOrNull(run.store);
        object["identity"] = Identity(run);
        object["verification"] = Verification(run);
        json differences = json::array();
        for (const std::string& difference : run.differences) {
            differences.push_back(Win1252ToUtf8(difference));
        }
        object["differences"] = differences;
        object["changes"] = Changes(run);
    } else {
        for (const char* key : {"operation", "store", "identity", "verification", "changes"}) {
            object[key] = nullptr;
        }
        object["differences"] = json::array();
    }
    if (command == ECliCommand::diff) {
        object["wouldChange"] = report.details;
    }
    // A port or file name given in another encoding must not cost the unit its result.
    return object.dump(-1, ' ', false, json::error_handler_t::replace);
}

std::string PortInfoJson(const CPortInfo& port, const CProbeResult* probe) {
    json object = {{"port", port.name},
                   {"byId", TextOrNull(port.byId)},
                   {"manufacturer", TextOrNull(port.manufacturer)},
                   {"product", TextOrNull(port.product)},
                   {"serial", TextOrNull(port.serialNumber)},
                   {"vendorId", TextOrNull(port.vendorId)},
                   {"productId", TextOrNull(port.productId)}};
    if (probe == nullptr) {
        object["probe"] = nullptr;
    } else {
        static constexpr const char* kResults[] = {"unit", "otherDevice", "silent", "unavailable"};
        // The module's answer is Windows-1252; the port's own message is UTF-8 already.
        const std::string text = probe->kind == CProbeResult::EKind::unavailable
                                     ? probe->text
                                     : Win1252ToUtf8(probe->text);
        object["probe"] = {{"result", kResults[static_cast<std::size_t>(probe->kind)]},
                           {"text", TextOrNull(text)}};
    }
    return object.dump(-1, ' ', false, json::error_handler_t::replace);
}
