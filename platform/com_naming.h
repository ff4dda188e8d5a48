// COM names on this platform. COM<n> is found first as a link com<n> in the
// alias folder (VORLAN_PORT_DIR, else /etc/vorlan/ports), then by the fixed
// scheme: ttyS<k> is COM<k+1> (k 0..31), ttyUSB<k> COM<k+33>, ttyACM<k> COM<k+65>.
// Everything here only looks at names and links; nothing opens a device.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vorlan {

inline constexpr const char* kDefaultPortAliasFolder = "/etc/vorlan/ports";

std::string PortAliasFolder();
// Device path for COM<comNumber> (1-based); the fixed scheme when no alias.
// An alias that exists wins even when its target is missing (the board the
// administrator named is absent, so opening it must fail). Empty when the
// number has neither an alias nor a fixed device.
std::string DevicePathOfCom(int comNumber);
std::string DevicePathOfCom(int comNumber, const std::string& aliasFolder);
// COM number of a device path under the fixed scheme, if it has one
// ("/dev/ttyUSB0" gives 33).
std::optional<int> ComNumberOfDevice(const std::string& devicePath);

// Fixed-scheme path for COM<comNumber>, ignoring aliases; empty when none.
std::string FixedDevicePathOfCom(int comNumber);

// One link com<n> of the alias folder: its number, the link's own path and
// the path it points at.
struct PortAlias {
    int comNumber = 0;
    std::string linkPath;
    std::string target;
};
// The folder's entries named com<n> (n > 0), by number; a relative link target
// is given relative to the folder.
std::vector<PortAlias> PortAliases(const std::string& aliasFolder);

}  // namespace vorlan
