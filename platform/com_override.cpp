#include "platform/com_override.h"

#include <map>

#include "platform/com_naming.h"

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

const std::string* ComDeviceOverride(int comNumber) {
    const auto found = gOverrides.find(comNumber);
    return found != gOverrides.end() ? &found->second : nullptr;
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
