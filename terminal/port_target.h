// The port of a vorlan-flash run. The user names it as a COM name or as a
// device; the driver opens it by COM number. This unit turns the one into the
// other and explains, in a technician's words, a port that could not be
// opened.
#pragma once

#include <cstdint>
#include <string>

namespace vorlan::flash {

// The COM number (1-based) for a device given by path, or by a name in
// /dev/serial/by-id or else /dev: the number of an alias link that leads to
// it, else its number in the fixed scheme (when no alias hides that number;
// also for an absent device such as an unplugged /dev/ttyUSB0),
// else the highest number without an alias link, which this process then
// opens as that device (SetComDeviceOverride). A device that does not exist
// gets such a number too, so that opening it fails with the system's word.
int ComNumberForDevice(const std::string& device, const std::string& aliasFolder);

// "COM3 (/dev/ttyS2)", "COM9 (/ports/com9 -> /dev/pts/4)", "/dev/ttyUSB0
// (COM33)": the port as named, and where the driver's COM name leads.
std::string PortDescription(const std::string& label, std::int16_t portIndex);

// Where COM<portIndex + 1> leads, for the JSON result; empty for none.
std::string DeviceOfPort(std::int16_t portIndex);

// Why the port could not be opened, after the driver tried: where its COM name
// was looked up, what the system said, and what to do about it.
std::string PortProblem(std::int16_t portIndex);

}  // namespace vorlan::flash
