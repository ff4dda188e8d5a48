// The port list of Windows made from what the system reports, without OS
// calls of its own so that its rules can be tested alone: the serial device
// map (device name -> port name) and the friendly names of the device setup
// classes (port name -> friendly name).
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/port_source.h"

namespace vorlan {

struct DeviceMapEntry {
    std::string deviceName;  // e.g. "\Device\Serial0"
    std::string portName;    // e.g. "COM1"
};

// One entry per COM number in ascending order; names that are not COM<n>
// are left out. Each friendly name ends in " (COM<n>)": the setup classes'
// own where they have one for the port (keys compared without regard to
// case), else "Serial Port - <device name>".
std::vector<PortEntry> PortEntriesOf(const std::vector<DeviceMapEntry>& deviceMap,
                                     const std::map<std::string, std::string>& friendlyNames);

}  // namespace vorlan
