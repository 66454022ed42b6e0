#include <string>
#include <vector>

#include "seriallink/comport.h"
#include "seriallink/portinfo.h"

// Windows: the ports the registry lists and that open now, by name only. Maker, product and
// serial number would come from SetupAPI, which this listing does not ask yet.
std::vector<CPortInfo> ListSerialPorts() {
    std::vector<std::string> names;
    CComPort::ListPorts(names);
    std::vector<CPortInfo> ports;
    ports.reserve(names.size());
    for (const std::string& name : names) {
        CPortInfo port;
        port.name = name;
        ports.push_back(port);
    }
    return ports;
}

std::vector<CPortInfo> DescribeSerialPorts() {
    return ListSerialPorts();
}
