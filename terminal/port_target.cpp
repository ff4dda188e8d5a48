#include "terminal/port_target.h"

#include <filesystem>
#include <set>
#include <system_error>

#include "platform/com_naming.h"
#include "ports/port_problem.h"
#include "ports/serial_driver.h"

namespace vorlan::flash {

namespace {

namespace fs = std::filesystem;

constexpr const char* kByIdFolder = "/dev/serial/by-id";

fs::path DevicePathOfName(const std::string& device) {
    if (device.find('/') != std::string::npos)
        return device;
    std::error_code error;
    for (const char* folder : {kByIdFolder, "/dev"}) {
        if (fs::exists(fs::path(folder) / device, error))
            return fs::path(folder) / device;
    }
    return fs::path(kByIdFolder) / device;
}

// The file a path finally leads to; empty when it leads nowhere.
fs::path RealFile(const fs::path& path) {
    std::error_code error;
    fs::path real = fs::canonical(path, error);
    return error ? fs::path() : real;
}

}  // namespace

int ComNumberForDevice(const std::string& device, const std::string& aliasFolder) {
    const fs::path path = DevicePathOfName(device);
    const fs::path real = RealFile(path);
    std::set<int> linked;
    for (const PortAlias& alias : PortAliases(aliasFolder)) {
        linked.insert(alias.comNumber);
        if (!real.empty() && alias.comNumber <= kHighestPortIndex + 1 &&
            RealFile(alias.target) == real) {
            return alias.comNumber;
        }
    }
    if (const std::optional<int> fixed = ComNumberOfDevice(real.string());
        fixed && RealFile(DevicePathOfCom(*fixed, aliasFolder)) == real) {
        return *fixed;
    }
    // An absent adapter keeps its number in the fixed scheme (unless a link
    // hides it), so that the port problem names the COM name it will have.
    if (const std::optional<int> fixed = ComNumberOfDevice(path.string());
        real.empty() && fixed && linked.count(*fixed) == 0) {
        return *fixed;
    }
    int free = kHighestPortIndex + 1;
    while (free > 1 && linked.count(free) != 0) --free;
    SetComDeviceOverride(free, path.string());
    return free;
}

std::string DeviceOfPort(std::int16_t portIndex) {
    if (portIndex < 0 || portIndex > kHighestPortIndex)
        return "";
    return DevicePathOfCom(portIndex + 1);
}

std::string PortDescription(const std::string& label, std::int16_t portIndex) {
    const std::string com = portIndex < 0 ? "" : "COM" + std::to_string(portIndex + 1);
    if (portIndex < 0)
        return label + " (none chosen)";
    if (label != com)
        return label + " (" + com + ")";
    const std::string device = DeviceOfPort(portIndex);
    return label + " (" + (device.empty() ? "no device" : ShownLinkPath(device)) + ")";
}

std::string PortProblem(std::int16_t portIndex) {
    return DescribePortProblem(portIndex, {"vorlan-flash --list shows the ports present",
                                           "name one with --port COM<n> or --port /dev/ttyUSB0",
                                           "give the device to --port"});
}

}  // namespace vorlan::flash
