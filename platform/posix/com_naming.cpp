#include "platform/com_naming.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/com_override.h"

namespace vorlan {

namespace {

namespace fs = std::filesystem;

struct FixedScheme {
    const char* prefix;  // device path without its number
    int firstCom;        // COM number of number 0
    int count;
};

constexpr FixedScheme kSchemes[] = {
    {"/dev/ttyS", 1, 32},
    {"/dev/ttyUSB", 33, 32},
    {"/dev/ttyACM", 65, 32},
};

std::optional<int> AliasNumber(const std::string& name) {
    if (name.size() < 4 || name.compare(0, 3, "com") != 0)
        return std::nullopt;
    std::optional<int> number = ParsePlainNumber(name.substr(3));
    if (!number || *number <= 0)
        return std::nullopt;
    return number;
}

}  // namespace

std::string PortAliasFolder() {
    const char* folder = std::getenv("VORLAN_PORT_DIR");
    return folder != nullptr && folder[0] != '\0' ? folder : kDefaultPortAliasFolder;
}

std::string FixedDevicePathOfCom(int comNumber) {
    for (const FixedScheme& scheme : kSchemes) {
        int k = comNumber - scheme.firstCom;
        if (k >= 0 && k < scheme.count)
            return scheme.prefix + std::to_string(k);
    }
    return {};
}

std::string DevicePathOfCom(int comNumber) {
    return DevicePathOfCom(comNumber, PortAliasFolder());
}

std::string DevicePathOfCom(int comNumber, const std::string& aliasFolder) {
    return LookUpCom(comNumber, aliasFolder).devicePath;
}

ComLookup LookUpCom(int comNumber, const std::string& aliasFolder) {
    ComLookup lookup;
    if (comNumber <= 0 || LookUpComDeviceOverride(comNumber, lookup))
        return lookup;
    const fs::path link = fs::path(aliasFolder) / ("com" + std::to_string(comNumber));
    lookup.aliasLink = link.string();
    lookup.fixedPath = FixedDevicePathOfCom(comNumber);
    std::error_code error;
    const fs::file_status status = fs::symlink_status(link, error);
    if (status.type() != fs::file_type::not_found && status.type() != fs::file_type::none) {
        lookup.aliasFound = true;
        lookup.devicePath = lookup.aliasLink;
    } else if (error && error.value() != ENOENT && error.value() != ENOTDIR) {
        // The folder is there but hides its links (no search permission).
        lookup.folderProblem = error.message();
    } else {
        lookup.devicePath = lookup.fixedPath;
    }
    return lookup;
}

std::optional<int> ComNumberOfDevice(const std::string& devicePath) {
    for (const FixedScheme& scheme : kSchemes) {
        std::string prefix = scheme.prefix;
        if (devicePath.size() <= prefix.size() || devicePath.compare(0, prefix.size(), prefix)) {
            continue;
        }
        std::optional<int> k = ParsePlainNumber(devicePath.substr(prefix.size()));
        if (k && *k < scheme.count)
            return scheme.firstCom + *k;
    }
    return std::nullopt;
}

std::vector<PortAlias> PortAliases(const std::string& aliasFolder) {
    std::vector<PortAlias> aliases;
    std::error_code error;
    for (fs::directory_iterator it(aliasFolder, error), end; !error && it != end;
         it.increment(error)) {
        std::optional<int> number = AliasNumber(it->path().filename().string());
        if (!number)
            continue;
        PortAlias alias;
        alias.comNumber = *number;
        alias.linkPath = it->path().string();
        std::error_code linkError;
        fs::path target = fs::read_symlink(it->path(), linkError);
        if (linkError) {
            alias.target = alias.linkPath;  // a plain file or device node
        } else {
            alias.target =
                target.is_absolute() ? target.string() : (fs::path(aliasFolder) / target).string();
        }
        aliases.push_back(alias);
    }
    std::sort(aliases.begin(), aliases.end(), [](const PortAlias& a, const PortAlias& b) {
        return a.comNumber != b.comNumber ? a.comNumber < b.comNumber : a.linkPath < b.linkPath;
    });
    return aliases;
}

}  // namespace vorlan
