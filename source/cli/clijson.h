#pragma once

#include <string>

#include "cli/commandline.h"
#include "cli/unitjob.h"
#include "operations/unitprobe.h"
#include "seriallink/portinfo.h"

// One unit's result as one line of JSON, for scripts (--json): the same facts as the result
// line, and what the records hold about the unit's last run.
//
// A diff's object also has "wouldChange", each value a write would change as the result lines
// name it.
//
//   {"port": "ttyUSB0", "command": "write", "result": "OK", "ok": true,
//    "text": "OK wrote 1 alarm message and 3 phonebook entries. ...",
//    "operation": "Write", "store": "SM",
//    "identity": {"maker": "SIEMENS", "model": "MC35i", "imei": "351234567890124"},
//    "verification": "verified", "differences": [],
//    "changes": {"settingsWritten": 2, "accessNumbersWritten": 1, "messagesWritten": 1,
//                "messagesErased": 0, "entriesErased": 0, "unitChanged": true},
//    "failure": null}
//
// "result" is "OK", "FAILED" or "CANCELLED" (stopped with Ctrl-C; the result line says
// "FAILED cancelled"). A value that is not known is null: the identity before the module
// answered, "verification" when no read-back ran, the counts of "changes" when the run did
// not complete (then "unitChanged" says whether the unit may be partly written), and
// "operation", "store", "identity" and "changes" when no run started at all.
std::string UnitReportJson(const CUnitReport& report, ECliCommand command);

// One port of `sendibox-cli ports --json`: {"port": "ttyUSB0", "byId": "/dev/serial/by-id/...",
// "manufacturer": "FTDI", "product": "FT232R USB UART", "serial": "A10KXYZ", "vendorId": "0403",
// "productId": "6001", "probe": {"result": "unit", "text": "SIEMENS MC35i"}}; what is not
// known is null, "probe" too when no probe ran. The probe's "result" is "unit", "otherDevice",
// "silent" or "unavailable".
std::string PortInfoJson(const CPortInfo& port, const CProbeResult* probe);
