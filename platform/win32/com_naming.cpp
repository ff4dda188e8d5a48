// COM names on Windows: the system's own device names. There is no alias
// folder; the port map of the system (see port_source.cpp) says which exist.
#include "platform/com_naming.h"

#include "platform/com_override.h"

namespace vorlan {

namespace {

constexpr const char* kDevicePrefix = "\\\\.\\COM";
// Windows numbers COM ports up to 256 in its own tools; the driver's table
// goes one further, so every number it can name gets a path.
constexpr int kHighestComNumber = 257;

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char c = text[i];
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        if (c != prefix[i])
            return false;
    }
    return true;
}

}  // namespace

std::string PortAliasFolder() {
    return {};
}

std::string FixedDevicePathOfCom(int comNumber) {
    if (comNumber <= 0 || comNumber > kHighestComNumber)
        return {};
    return kDevicePrefix + std::to_string(comNumber);
}

std::string DevicePathOfCom(int comNumber) {
    return DevicePathOfCom(comNumber, PortAliasFolder());
}

std::string DevicePathOfCom(int comNumber, const std::string& aliasFolder) {
    return LookUpCom(comNumber, aliasFolder).devicePath;
}

ComLookup LookUpCom(int comNumber, const std::string&) {
    ComLookup lookup;
    if (comNumber <= 0 || LookUpComDeviceOverride(comNumber, lookup))
        return lookup;
    lookup.fixedPath = FixedDevicePathOfCom(comNumber);
    lookup.devicePath = lookup.fixedPath;
    return lookup;
}

// "\\.\COM3" and the plain "COM3" both name COM3.
std::optional<int> ComNumberOfDevice(const std::string& devicePath) {
    std::string name = devicePath;
    if (name.rfind("\\\\.\\", 0) == 0)
        name = name.substr(4);
    if (!StartsWithNoCase(name, "COM"))
        return std::nullopt;
    std::optional<int> number = ParsePlainNumber(name.substr(3));
    if (!number || *number <= 0 || *number > kHighestComNumber)
        return std::nullopt;
    return number;
}

std::vector<PortAlias> PortAliases(const std::string&) {
    return {};
}

}  // namespace vorlan
