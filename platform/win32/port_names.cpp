#include "platform/win32/port_names.h"

#include <algorithm>
#include <optional>

#include "platform/com_naming.h"
#include "platform/friendly_name.h"

namespace vorlan {

namespace {

std::string Upper(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

std::vector<PortEntry> PortEntriesOf(const std::vector<DeviceMapEntry>& deviceMap,
                                     const std::map<std::string, std::string>& friendlyNames) {
    std::map<std::string, std::string> friendlyByPort;
    for (const auto& [port, name] : friendlyNames) friendlyByPort.emplace(Upper(port), name);

    std::map<int, PortEntry> byNumber;  // ascending COM numbers, the first entry of each
    for (const DeviceMapEntry& entry : deviceMap) {
        const std::optional<int> number = ComNumberOfDevice(entry.portName);
        if (!number || byNumber.count(*number) != 0)
            continue;
        const std::string portName = "COM" + std::to_string(*number);
        const std::string tail = " (" + portName + ")";
        std::string label = "Serial Port - " + entry.deviceName;
        const auto known = friendlyByPort.find(portName);
        if (known != friendlyByPort.end() && !known->second.empty()) {
            label = known->second;
            if (EndsWith(label, tail))
                label.resize(label.size() - tail.size());
        }
        byNumber.emplace(*number, PortEntry{portName, FitFriendlyName(label, tail)});
    }
    std::vector<PortEntry> entries;
    for (auto& [number, entry] : byNumber) entries.push_back(std::move(entry));
    return entries;
}

}  // namespace vorlan
