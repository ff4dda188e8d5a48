// The serial ports present on this machine, as (port name, friendly name)
// pairs, e.g. ("COM33", "FT232R USB UART - /dev/ttyUSB0 (COM33)").
//
// On Linux they are read from sysfs (<root>/class/tty/*/device) and the COM
// alias folder:
//  - a tty is a serial port when it has a device link; virtual consoles and
//    pseudo-terminals have none. A ttyS<k> whose "type" reads 0 has no UART
//    behind it (the kernel makes ttyS0..ttyS31 whatever the hardware) and is
//    left out;
//  - its COM name is the alias that links to it, else its fixed-scheme name
//    unless an alias of that number names another device; a tty with
//    neither is left out, since no COM name opens it;
//  - an alias whose device exists but is not such a tty (the board
//    emulator's pseudo-terminal, a by-id link to a device outside sysfs) is
//    listed under its own name.
// Other systems read their own device map and ignore both folders.
// One entry per COM number, in ascending COM number order. Nothing here opens
// a device or waits.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace vorlan {

// Longest friendly name, in bytes, without a terminator.
inline constexpr std::size_t kFriendlyNameMaxBytes = 199;

struct PortEntry {
    std::string portName;      // "COM<n>"
    std::string friendlyName;  // ends in " (COM<n>)"; at most 199 bytes
};

// sysfsRoot: "/sys" on a real machine, a fake tree in tests.
std::vector<PortEntry> PresentSerialPorts(const std::string& sysfsRoot,
                                          const std::string& aliasFolder);

}  // namespace vorlan
