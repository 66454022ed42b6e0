#include <algorithm>
#include <string>
#include <vector>

#include "seriallink/comport.h"
#include "seriallink/portinfo.h"
#include "seriallink/portlistersysfs.h"

std::vector<CPortInfo> DescribeSerialPorts() {
    return ReadSysfsPorts("/sys", "/dev");
}

std::vector<CPortInfo> ListSerialPorts() {
    // Which ports are offered is decided by opening them, as before; sysfs only adds names.
    std::vector<std::string> names;
    CComPort::ListPorts(names);
    const std::vector<CPortInfo> known = DescribeSerialPorts();
    std::vector<CPortInfo> ports;
    ports.reserve(names.size());
    for (const std::string& name : names) {
        const auto info = std::find_if(known.begin(), known.end(), [&name](const CPortInfo& port) {
            return port.name == name;
        });
        CPortInfo port;
        port.name = name;
        ports.push_back(info != known.end() ? *info : port);
    }
    return ports;
}
