#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/tempfolder.h"
#include "seriallink/portinfo.h"
#include "seriallink/portlistersysfs.h"

namespace {

namespace fs = std::filesystem;

// A sysfs and /dev laid out as the kernel and udev lay them out, with relative links, for the
// kinds of serial device a technician's laptop has.
class SysfsPortsTest : public TempFolderTest {
protected:
    // A tty class entry linking to `device` (a folder below devices/), which gets the tty's own
    // folder; `device` empty for a tty with no device behind it.
    void AddTty(const std::string& name, const std::string& device) {
        const fs::path tty = device.empty() ? sys / "devices/virtual/tty" / name
                                            : sys / "devices" / device / "tty" / name;
        fs::create_directories(tty);
        fs::create_directories(sys / "class/tty");
        fs::create_symlink(fs::relative(tty, sys / "class/tty"), sys / "class/tty" / name);
        if (!device.empty()) {
            fs::create_symlink(fs::relative(sys / "devices" / device, tty), tty / "device");
        }
    }

    void Attributes(const std::string& device,
                    const std::vector<std::pair<std::string, std::string>>& values) {
        for (const auto& [name, value] : values) {
            Put((fs::path("sys/devices") / device / name).string(), value + "\n");
        }
    }

    void AddById(const std::string& link, const std::string& name) {
        fs::create_directories(dev / "serial/by-id");
        fs::create_symlink("../../" + name, dev / "serial/by-id" / link);
    }

    std::vector<CPortInfo> Read() { return ReadSysfsPorts(sys.string(), dev.string()); }

    fs::path sys;
    fs::path dev;

    void SetUp() override {
        TempFolderTest::SetUp();
        sys = folder / "sys";
        dev = folder / "dev";
    }
};

TEST_F(SysfsPortsTest, EachSerialDeviceComesWithItsAdapterAndItsByIdLink) {
    const std::string usb = "pci0000:00/0000:00:14.0/usb1/";
    // An FTDI cable: the tty's device is the usb-serial port, two levels below the USB device.
    AddTty("ttyUSB0", usb + "1-2/1-2:1.0/ttyUSB0");
    Attributes(usb + "1-2", {{"idVendor", "0403"},
                             {"idProduct", "6001"},
                             {"manufacturer", "FTDI"},
                             {"product", "FT232R USB UART"},
                             {"serial", "A10KXYZ"}});
    AddById("usb-FTDI_FT232R_USB_UART_A10KXYZ-if00-port0", "ttyUSB0");
    // A second cable without a serial number: only the path link names it.
    AddTty("ttyUSB10", usb + "1-3/1-3:1.0/ttyUSB10");
    Attributes(usb + "1-3", {{"idVendor", "067b"}, {"idProduct", "2303"}});
    // A CDC modem: the tty's device is the USB interface, right below the USB device; a
    // second by-id link to it is ignored in favour of the first in name order.
    AddTty("ttyACM0", usb + "1-4/1-4:1.0");
    Attributes(usb + "1-4", {{"idVendor", "1e2d"},
                             {"idProduct", "0053"},
                             {"manufacturer", "Cinterion"},
                             {"product", "Cinterion PHS8"},
                             {"serial", "  "}});
    AddById("usb-Cinterion_PHS8-if00", "ttyACM0");
    AddById("usb-Cinterion_PHS8-if01", "ttyACM0");
    // A UART on the mainboard: no USB device above it.
    AddTty("ttyS0", "platform/serial8250");
    // Not serial ports: a virtual terminal, a tty of another kind, a serial name with no device.
    AddTty("tty1", "");
    AddTty("ttyprintk", "virtual/misc");
    AddTty("ttyS5", "");

    const std::string byId = (dev / "serial/by-id").string() + "/";
    const std::vector<CPortInfo> expected = {
        {"ttyACM0", byId + "usb-Cinterion_PHS8-if00", "Cinterion", "Cinterion PHS8", "", "1e2d",
         "0053"},
        {"ttyS0", "", "", "", "", "", ""},
        {"ttyUSB0", byId + "usb-FTDI_FT232R_USB_UART_A10KXYZ-if00-port0", "FTDI", "FT232R USB UART",
         "A10KXYZ", "0403", "6001"},
        {"ttyUSB10", "", "", "", "", "067b", "2303"}};
    EXPECT_EQ(Read(), expected);

    // What the port box and `ports` show of each.
    std::vector<std::string> shown;
    for (const CPortInfo& port : Read()) {
        shown.push_back(DescribePort(port));
    }
    EXPECT_EQ(shown,
              (std::vector<std::string>{"Cinterion PHS8", "",
                                        "FTDI FT232R USB UART, serial A10KXYZ", "USB 067b:2303"}));
}

}  // namespace
