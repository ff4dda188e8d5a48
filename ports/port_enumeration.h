// The port list of the Port setup window and `vorlan-flash --list`: the
// serial ports present on this machine (platform/port_source.h says how they
// are found), walked one (port name, friendly name) pair at a time.
// Nothing here opens a device or waits. UI thread only.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/port_source.h"

namespace vorlan {

// Size of each text buffer NextPort fills, terminator included.
inline constexpr std::size_t kPortTextBufferSize = kFriendlyNameMaxBytes + 1;

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
