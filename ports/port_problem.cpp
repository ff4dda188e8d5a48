#include "ports/port_problem.h"

#include <filesystem>
#include <system_error>

#include "platform/com_naming.h"
#include "ports/serial_driver.h"

namespace vorlan {

namespace {

namespace fs = std::filesystem;

constexpr const char* kByIdFolder = "/dev/serial/by-id";
constexpr const char* kFixedScheme =
    "COM1-32 are /dev/ttyS0-31, COM33-64 /dev/ttyUSB0-31, COM65-96 /dev/ttyACM0-31";

// For a port that is not there: where to look for the ones that are.
std::string WithListHint(const std::string& problem, const PortAdvice& advice) {
    if (advice.listPorts.empty())
        return problem;
    const bool asks = !problem.empty() && problem.back() == '?';
    return problem + (asks ? " " : ". ") + advice.listPorts;
}

}  // namespace

std::string ShownLinkPath(const std::string& path) {
    std::error_code error;
    const fs::path target = fs::read_symlink(path, error);
    return error ? path : path + " -> " + target.string();
}

std::string DescribePortProblem(std::int16_t portIndex, const PortAdvice& advice) {
    if (portIndex < 0)
        return "no port is chosen" + (advice.choosePort.empty() ? "" : "; " + advice.choosePort);
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
        const std::string device =
            advice.nameDevice.empty() ? std::string() : " or " + advice.nameDevice;
        return WithListHint(com + " has no link " + fs::path(lookup.aliasLink).filename().string() +
                                " in " + folder + " and no device of its own (" + kFixedScheme +
                                "); link it to the board's adapter (ln -s " + kByIdFolder +
                                "/<adapter> " + lookup.aliasLink + ")" + device,
                            advice);
    }
    std::string where;
    if (!lookup.overridePath.empty()) {
        where = ShownLinkPath(lookup.overridePath);
    } else if (lookup.aliasFound) {
        where = com + " is " + ShownLinkPath(lookup.aliasLink);
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
    return error.kind == SerialErrorKind::kNotFound ? WithListHint(problem, advice) : problem;
}

}  // namespace vorlan
