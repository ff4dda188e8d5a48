// COM names on Windows: the system's own device names. There is no alias
// folder; the port map of the system (see port_source.cpp) says which exist.
#include "platform/com_naming.h"

#include <map>

namespace vorlan {

namespace {

constexpr const char* kDevicePrefix = "\\\\.\\COM";
// Windows numbers COM ports up to 256 in its own tools; the driver's table
// goes one further, so every number it can name gets a path.
constexpr int kHighestComNumber = 257;

// A plain decimal number without sign or leading zeros.
std::optional<int> ParseNumber(const std::string& text) {
    if (text.empty() || text.size() > 6 || text[0] == '0')
        return std::nullopt;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

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

std::map<int, std::string>& Overrides() {
    static std::map<int, std::string> overrides;
    return overrides;
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
    if (comNumber <= 0)
        return lookup;
    if (const auto found = Overrides().find(comNumber); found != Overrides().end()) {
        lookup.overridePath = found->second;
        lookup.devicePath = found->second;
        return lookup;
    }
    lookup.fixedPath = FixedDevicePathOfCom(comNumber);
    lookup.devicePath = lookup.fixedPath;
    return lookup;
}

void SetComDeviceOverride(int comNumber, const std::string& devicePath) {
    if (devicePath.empty()) {
        Overrides().erase(comNumber);
    } else {
        Overrides()[comNumber] = devicePath;
    }
}

// "\\.\COM3" and the plain "COM3" both name COM3.
std::optional<int> ComNumberOfDevice(const std::string& devicePath) {
    std::string name = devicePath;
    if (name.rfind("\\\\.\\", 0) == 0)
        name = name.substr(4);
    if (!StartsWithNoCase(name, "COM"))
        return std::nullopt;
    std::optional<int> number = ParseNumber(name.substr(3));
    if (!number || *number > kHighestComNumber)
        return std::nullopt;
    return number;
}

std::vector<PortAlias> PortAliases(const std::string&) {
    return {};
}

}  // namespace vorlan
