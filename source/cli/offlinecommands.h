#pragma once

#include <functional>
#include <string>
#include <vector>

#include "cli/commandline.h"
#include "operations/unitprobe.h"
#include "seriallink/portinfo.h"

class CAppLanguage;
class CCliOutput;

// The commands that serve no unit: `ports` lists the serial ports (and, with --probe, asks
// each for a unit), `check` examines a profile as Write would. Each returns the exit status.
class COfflineCommands {
public:
    using TLister = std::function<std::vector<CPortInfo>()>;
    using TProber = std::function<std::vector<CProbeResult>(const std::vector<std::string>&)>;

    // A line per port, or a JSON object each with --json. 0, or with --probe 0 only when a
    // supported module answered on some port.
    static int Ports(const CCliOptions& options, CCliOutput& output,
                     const TLister& list = ListSerialPorts, const TProber& probe = ProbeAll);

    // Every value Write would refuse, a line each; 0 when there is none, 1 when there is, 2
    // (with one line on standard error) when the file is no profile.
    static int Check(const CCliOptions& options, bool checkCountryCode,
                     const CAppLanguage& language, CCliOutput& output);

    // "ttyUSB0: FTDI FT232R USB UART, serial A1 (/dev/serial/by-id/...)" and, after a probe,
    // what it found: " - unit found: SIEMENS MC35i".
    static std::string PortLine(const CPortInfo& port, const CProbeResult* probe);

private:
    static std::vector<CProbeResult> ProbeAll(const std::vector<std::string>& names) {
        return ProbeForUnits(names);
    }
};
