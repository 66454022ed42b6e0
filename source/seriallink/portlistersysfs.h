#pragma once

#include <string>
#include <vector>

#include "seriallink/portinfo.h"

// Linux: what sysfs and udev's by-id links tell of each serial device. `sysRoot` stands for
// /sys and `devRoot` for /dev, so a test can give a tree of its own. Every device of
// `sysRoot`/class/tty whose name CComPort offers is listed, whether or not it can be opened,
// in natural order. The USB attributes come from the nearest USB device above the tty
// (manufacturer, product, serial, idVendor, idProduct); a device on another bus has none.
std::vector<CPortInfo> ReadSysfsPorts(const std::string& sysRoot, const std::string& devRoot);
