#pragma once

#include <string>
#include <vector>

// A serial port as the port box and `sendibox-cli ports` show it: the device name the tool
// stores and opens, and what the system knows of the adapter behind it, so a technician with
// several adapters can tell the programming cable from the others. Every field but `name`
// may be empty.
struct CPortInfo {
    // "ttyUSB0": what is stored in settings.txt and given to --port.
    std::string name;
    // A stable path that names the adapter rather than the order it was plugged in, for
    // example "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10KXYZ-if00-port0".
    std::string byId;
    std::string manufacturer;
    std::string product;
    std::string serialNumber;
    // The USB vendor and product numbers, four hexadecimal digits each.
    std::string vendorId;
    std::string productId;

    bool operator==(const CPortInfo&) const = default;
};

// "FTDI FT232R USB UART, serial A10KXYZ": maker, product and serial number as far as known;
// the USB numbers ("USB 0403:6001") when neither maker nor product is; empty when nothing is.
std::string DescribePort(const CPortInfo& port);

// The ports that can be opened now, in natural order ("ttyUSB2" before "ttyUSB10"), each with
// what the system tells of it. Probing takes no exclusive mode, so a port in another program's
// use is left undisturbed (and is not listed).
std::vector<CPortInfo> ListSerialPorts();

// Every serial device the system knows, whether or not it can be opened now, with what it
// tells of each; nothing is opened. For describing ports listed by other means.
std::vector<CPortInfo> DescribeSerialPorts();
