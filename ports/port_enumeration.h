// The serial ports present on this machine, for the Port setup window: one
// (port name, friendly name) pair at a time, e.g. ("COM33",
// "FT232R USB UART - /dev/ttyUSB0 (COM33)").
//
// Found in sysfs (<root>/class/tty/*/device) and in the COM alias folder:
//  - a tty is a serial port when it has a device link; virtual consoles and
//    pseudo-terminals have none. A ttyS<k> whose "type" reads 0 has no UART
//    behind it (the kernel makes ttyS0..ttyS31 whatever the hardware) and is
//    left out;
//  - its COM name is the alias that links to it, else its fixed-scheme name
//    unless an alias of that number names another device; a tty with
//    neither is left out, since no COM name opens it;
//  - an alias whose device exists but is not such a tty (the board
//    emulator's pseudo-terminal, a by-id link to a device outside sysfs) is
//    listed under its own name;
//  - one entry per COM number, in ascending COM number order.
// Nothing here opens a device or waits. UI thread only.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace vorlan {

// Size of each text buffer NextPort fills, terminator included.
inline constexpr std::size_t kPortTextBufferSize = 200;

struct PortEntry {
    std::string portName;      // "COM<n>"
    std::string friendlyName;  // ends in " (COM<n>)"; at most 199 bytes
};

struct PortList;  // owned by the caller from OpenPortList to ClosePortList

// Never null; a list that could not be read is empty. The ports are taken
// at this call; NextPort only walks them.
PortList* OpenPortList(const std::string& sysfsRoot = "/sys");
PortList* OpenPortList(const std::string& sysfsRoot, const std::string& aliasFolder);
// 1 and the next entry copied into the buffers (kPortTextBufferSize bytes
// each, zero-terminated; friendlyName may be null), or 0 at the end. After a
// 0 the next call starts again at the first entry.
int NextPort(PortList* list, char* portName, char* friendlyName);
// Releases the list: 1, or 0 for a null list.
int ClosePortList(PortList* list);

// The whole list at once.
std::vector<PortEntry> ListPorts(const std::string& sysfsRoot = "/sys");
std::vector<PortEntry> ListPorts(const std::string& sysfsRoot, const std::string& aliasFolder);

}  // namespace vorlan
