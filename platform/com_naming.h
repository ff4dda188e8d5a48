// COM names on this platform. COM<n> is found first as a link com<n> in the
// alias folder (VORLAN_PORT_DIR, else /etc/vorlan/ports), then by the fixed
// scheme: ttyS<k> is COM<k+1> (k 0..31), ttyUSB<k> COM<k+33>, ttyACM<k> COM<k+65>.
// On Windows COM<n> is the system's own "\\.\COM<n>" (n up to 257) and there
// is no alias folder: PortAliasFolder() is "" and PortAliases() empty.
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
// number has neither an alias nor a fixed device, and when the alias folder
// exists but cannot be searched: a link there may name another board than
// the fixed device, so that device is not a safe guess.
std::string DevicePathOfCom(int comNumber);
std::string DevicePathOfCom(int comNumber, const std::string& aliasFolder);

// How DevicePathOfCom found its answer, for messages that say where a COM
// name was looked up and what to do about it.
struct ComLookup {
    std::string devicePath;     // DevicePathOfCom's answer
    std::string overridePath;   // the process's own device for the number, if set
    std::string aliasLink;      // <alias folder>/com<n>, looked at first
    bool aliasFound = false;    // that link (or a plain entry) exists
    std::string folderProblem;  // the OS's word when the folder could not be searched
    std::string fixedPath;      // FixedDevicePathOfCom; empty when the number has none
};
ComLookup LookUpCom(int comNumber, const std::string& aliasFolder);

// A device this process opens as COM<comNumber>, before any alias: for a
// device given by path that no COM name reaches. An empty path removes it.
// Process-local, never stored; set before ports are opened (not thread-safe).
void SetComDeviceOverride(int comNumber, const std::string& devicePath);
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
