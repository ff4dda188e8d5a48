#include "tools/flash/port_target.h"

#include <filesystem>
#include <set>
#include <system_error>

#include "platform/com_naming.h"
#include "ports/serial_driver.h"

namespace vorlan::flash {

namespace {

namespace fs = std::filesystem;

// For a port that is not there: where to look for the ones that are.
std::string WithListHint(const std::string& problem) {
    const bool asks = !problem.empty() && problem.back() == '?';
    return problem + (asks ? " " : ". ") + "vorlan-flash --list shows the ports present";
}

constexpr const char* kByIdFolder = "/dev/serial/by-id";
constexpr const char* kFixedScheme =
    "COM1-32 are /dev/ttyS0-31, COM33-64 /dev/ttyUSB0-31, COM65-96 /dev/ttyACM0-31";

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

std::string ShownPath(const std::string& path) {
    std::error_code error;
    const fs::path target = fs::read_symlink(path, error);
    return error ? path : path + " -> " + target.string();
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
    return label + " (" + (device.empty() ? "no device" : ShownPath(device)) + ")";
}

std::string PortProblem(std::int16_t portIndex) {
    if (portIndex < 0)
        return "no port is chosen; name one with --port COM<n> or --port /dev/ttyUSB0";
    const std::string range = "COM1 to COM" + std::to_string(kHighestPortIndex + 1);
    const std::string com = "COM" + std::to_string(portIndex + 1);
    if (portIndex > kHighestPortIndex)
        return com + " cannot be used: the ports are " + range;

    const std::string folder = PortAliasFolder();
    const ComLookup lookup = LookUpCom(portIndex + 1, folder);
    if (!lookup.folderProblem.empty()) {
        return com + " was not looked up: the alias folder " + folder + " cannot be searched (" +
               lookup.folderProblem + "); let this user read it, or set VORLAN_PORT_DIR";
    }
    if (lookup.devicePath.empty()) {
        return WithListHint(com + " has no link " + fs::path(lookup.aliasLink).filename().string() +
                            " in " + folder + " and no device of its own (" + kFixedScheme +
                            "); link it to the board's adapter (ln -s " + kByIdFolder +
                            "/<adapter> " + lookup.aliasLink + ") or give the device to --port");
    }
    std::string where;
    if (!lookup.overridePath.empty()) {
        where = ShownPath(lookup.overridePath);
    } else if (lookup.aliasFound) {
        where = com + " is " + ShownPath(lookup.aliasLink);
    } else if (folder.empty()) {
        where = com + " is " + lookup.devicePath;  // Windows: no alias folder
    } else {
        where = com + " is " + lookup.devicePath + " (no link " +
                fs::path(lookup.aliasLink).filename().string() + " in " + folder + ")";
    }
    const SerialStatus& error = PortRecordAt(portIndex).openError;
    if (error.message.empty())
        return where + ": not a serial port";
    // The driver's message starts with the path it opened and carries the
    // system's word with its advice.
    std::string detail = error.message;
    if (detail.rfind(lookup.devicePath, 0) == 0)
        detail = detail.substr(lookup.devicePath.size());
    if (detail.rfind(": ", 0) == 0)
        detail = detail.substr(2);
    const std::string problem = where + ": " + detail;
    return error.kind == SerialErrorKind::kNotFound ? WithListHint(problem) : problem;
}

}  // namespace vorlan::flash
