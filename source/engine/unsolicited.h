#pragma once

#include <string_view>

// The module's unsolicited result codes: reports of calls, messages, the network and the
// module itself that it sends at any moment, also between the lines of a reply. The response
// reader and the reply parsers both pass over them by this one list, so a `RING` or `+CMTI:`
// never ends a read early, keeps one waiting, or is read as a value.

// Whether `line` (one reply line without its CR LF) is one of them. The codes are those of the
// calls, messages, cell broadcasts, supplementary services and registration of the GSM
// standards for AT commands and SMS, and the Siemens/Cinterion module family's own reports
// (start-up, SMS overflow, SIM card tray, temperature, battery). The tool asks for none of them
// except `+CREG:`, whose prefix is also that of the answer to its query (as `+CGREG:`'s is of
// its own); the answer carries the presentation mode first (`+CREG: <n>,<stat>[,<lac>,<ci>]`, 2 or
// 4 fields), the report does not (`+CREG: <stat>[,<lac>,<ci>]`, 1 or 3 fields), so only the
// report's shape counts as unsolicited.
bool IsUnsolicitedLine(std::string_view line);

// Whether the unsolicited `line` is the header of a report whose next line belongs to it: a
// message or cell broadcast shown directly (`+CMT:`, `+CBM:`, with its text or PDU), and a
// status report in PDU mode (`+CDS: <length>`, with its PDU). That next line may read like
// anything, "OK" included.
bool HasUnsolicitedBody(std::string_view line);
