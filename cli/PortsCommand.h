// `ravo ports`: the COM ports, whether each opens for this user and why not. On Linux COM0..COM19
// as the library maps them to device files, with the stable /dev/serial/by-id name of USB
// adapters; on Windows the ports the system knows (its SERIALCOMM map) with their device names.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace ravo {

struct PortReport {
    int comNumber = 0;
    std::string device;    // empty when the number maps to no device
    bool opens = false;    // the library opened it
    std::string problem;   // why it did not open
    std::string byIdName;  // the link in the by-id folder that leads to the device, if any
};

// Every port this system lists, each opened through the library and closed again.
std::vector<PortReport> InspectPorts();

// One line per port: "COM3   /dev/ttyS2   opens" and the like.
std::string FormatPortReport(const PortReport& report);

// Every listed port, one line each. Returns 0.
int RunPorts(std::ostream& out);

#ifndef _WIN32

// The library's mapping: with RAVO_COM_DIR set, COM n is $RAVO_COM_DIR/COM<n>; otherwise
// COM1..COM9 are /dev/ttyS0..8, COM10..COM19 /dev/ttyUSB0..9, and COM0 is nothing.
std::string ComDevicePath(int comNumber);

// Why opening a device failed with `error`; for a permission failure, how to join
// `deviceGroup` (the group that owns the device; "dialout" when unknown).
std::string DescribeOpenFailure(int error, const std::string& deviceGroup);

// Opens COM `comNumber` through the library (and closes it again); when it does not open,
// looks at the device itself for the reason.
PortReport InspectPort(int comNumber, const std::string& byIdFolder);
#endif

}  // namespace ravo
