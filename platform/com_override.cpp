#include "platform/com_override.h"

#include <map>

namespace vorlan {

namespace {

std::map<int, std::string> gOverrides;

}  // namespace

void SetComDeviceOverride(int comNumber, const std::string& devicePath) {
    if (devicePath.empty()) {
        gOverrides.erase(comNumber);
    } else {
        gOverrides[comNumber] = devicePath;
    }
}

bool LookUpComDeviceOverride(int comNumber, ComLookup& lookup) {
    const auto found = gOverrides.find(comNumber);
    if (found == gOverrides.end())
        return false;
    lookup.overridePath = found->second;
    lookup.devicePath = found->second;
    return true;
}

std::optional<int> ParsePlainNumber(const std::string& text) {
    if (text.empty() || text.size() > 6 || (text.size() > 1 && text[0] == '0'))
        return std::nullopt;
    int value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

}  // namespace vorlan
