#include "seriallink/portlistersysfs.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <system_error>

#include "seriallink/comport.h"

namespace fs = std::filesystem;

namespace {

// A sysfs attribute's first line, empty when there is none. The values come from the
// adapter's own descriptors, so they are cut short rather than trusted to be small.
std::string Attribute(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    if (!in || !std::getline(in, line)) {
        return {};
    }
    constexpr std::size_t kLongest = 256;
    line.resize(std::min(line.size(), kLongest));
    const std::size_t end = line.find_last_not_of(" \t\r");
    return end == std::string::npos ? std::string() : line.substr(0, end + 1);
}

// The USB device (the folder with idVendor) at or above the tty's device, within `devices`.
void ReadUsbAttributes(const fs::path& device, const fs::path& devices, CPortInfo& port) {
    std::error_code error;
    for (fs::path folder = device; !folder.empty() && folder != devices;
         folder = folder.parent_path()) {
        if (fs::is_regular_file(folder / "idVendor", error)) {
            port.manufacturer = Attribute(folder / "manufacturer");
            port.product = Attribute(folder / "product");
            port.serialNumber = Attribute(folder / "serial");
            port.vendorId = Attribute(folder / "idVendor");
            port.productId = Attribute(folder / "idProduct");
            return;
        }
        if (folder == folder.root_path() || folder.parent_path() == folder) {
            return;
        }
    }
}

// Device name to its by-id link; the links point at "../../ttyUSB0".
std::map<std::string, std::string> ReadByIdLinks(const fs::path& byIdFolder) {
    std::map<std::string, std::string> links;
    std::error_code error;
    for (fs::directory_iterator it(byIdFolder, error), end; !error && it != end;
         it.increment(error)) {
        std::error_code linkError;
        const fs::path target = fs::read_symlink(it->path(), linkError);
        if (linkError) {
            continue;
        }
        const std::string name = target.filename().string();
        const std::string link = it->path().string();
        // Two links to one device (an adapter with a serial number and one without): the
        // first in name order, so the listing does not change from one run to the next.
        auto [at, added] = links.emplace(name, link);
        if (!added && link < at->second) {
            at->second = link;
        }
    }
    return links;
}

}  // namespace

std::vector<CPortInfo> ReadSysfsPorts(const std::string& sysRoot, const std::string& devRoot) {
    const fs::path sys(sysRoot);
    const std::map<std::string, std::string> byId =
        ReadByIdLinks(fs::path(devRoot) / "serial" / "by-id");
    std::error_code error;
    const fs::path devices = fs::weakly_canonical(sys / "devices", error);
    std::vector<CPortInfo> ports;
    for (fs::directory_iterator it(sys / "class" / "tty", error), end; !error && it != end;
         it.increment(error)) {
        CPortInfo port;
        port.name = it->path().filename().string();
        std::error_code deviceError;
        // Virtual terminals and pseudo-terminals have no device behind them.
        const fs::path device = fs::canonical(it->path() / "device", deviceError);
        if (!CComPort::IsPortName(port.name) || deviceError) {
            continue;
        }
        ReadUsbAttributes(device, devices, port);
        if (const auto link = byId.find(port.name); link != byId.end()) {
            port.byId = link->second;
        }
        ports.push_back(std::move(port));
    }
    std::sort(ports.begin(), ports.end(), [](const CPortInfo& a, const CPortInfo& b) {
        return CComPort::PortNameLess(a.name, b.name);
    });
    return ports;
}
