#include "engine/unsolicited.h"

#include <algorithm>
#include <array>

#include "engine/fieldcursor.h"

namespace {

// Codes that make up their whole line.
constexpr std::array<std::string_view, 3> kWholeLines = {
    "RING",        // an incoming call
    "NO CARRIER",  // a call ended
    "^SHUTDOWN",   // the module is switching off
};

// Codes recognised by the start of their line.
constexpr std::array<std::string_view, 22> kPrefixes = {
    "^SYSSTART",  // the module has started (also "... ALARM MODE", "... CHARGE-ONLY MODE")
    "+CRING:",    // an incoming call and its type
    "+CLIP:",     // the caller's number
    "+CCWA:",     // a waiting call
    "+CCCM:",     // the call meter
    "+CSSI:",     // supplementary service, during a call set-up
    "+CSSU:",     // supplementary service, during a call
    "+CUSD:",     // a network-initiated service message
    "+CMTI:",     // a new message stored
    "+CMT:",      // a new message shown directly
    "+CBM:",      // a cell broadcast shown directly
    "+CBMI:",     // a cell broadcast stored
    "+CDS:",      // a status report shown directly
    "+CDSI:",     // a status report stored
    "+CIEV:",     // an indicator changed
    "+CALA:",     // an alarm went off
    "+CGEV:",     // a packet domain event
    "^SMGO:",     // the SMS store is full
    "^SCKS:",     // the SIM card was removed or inserted
    "^SCTM_A:",   // the temperature is near a limit
    "^SCTM_B:",   // the board temperature is near a limit
    "^SBC:",      // the supply is too low or too high
};

// Codes whose unsolicited report and solicited answer share the prefix.
constexpr std::array<std::string_view, 2> kRegistrationPrefixes = {"+CREG:", "+CGREG:"};

// Headers whose next line belongs to the report.
constexpr std::array<std::string_view, 2> kWithBody = {"+CMT:", "+CBM:"};
constexpr std::string_view kStatusReport = "+CDS:";

// The parameters after `prefix`, with the blank that usually follows the colon.
std::string_view ParametersAfter(std::string_view line, std::string_view prefix) {
    std::string_view rest = line.substr(prefix.size());
    while (rest.starts_with(' ')) {
        rest.remove_prefix(1);
    }
    return rest;
}

bool StartsWithAny(std::string_view line, const auto& prefixes) {
    return std::any_of(prefixes.begin(), prefixes.end(),
                       [line](std::string_view prefix) { return line.starts_with(prefix); });
}

}  // namespace

bool IsUnsolicitedLine(std::string_view line) {
    if (std::find(kWholeLines.begin(), kWholeLines.end(), line) != kWholeLines.end() ||
        StartsWithAny(line, kPrefixes)) {
        return true;
    }
    for (const std::string_view prefix : kRegistrationPrefixes) {
        if (line.starts_with(prefix)) {
            const std::size_t fields = CFieldCursor(ParametersAfter(line, prefix)).Remaining();
            return fields == 1 || fields == 3;
        }
    }
    return false;
}

bool HasUnsolicitedBody(std::string_view line) {
    if (StartsWithAny(line, kWithBody)) {
        return true;
    }
    // In text mode a status report is one line of seven or more fields; in PDU mode its only
    // field is the PDU's length, and the PDU follows on the next line.
    return line.starts_with(kStatusReport) &&
           CFieldCursor(ParametersAfter(line, kStatusReport)).Remaining() == 1;
}
