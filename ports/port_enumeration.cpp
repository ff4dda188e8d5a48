// Port list over the ports present. Everything is read at
// OpenPortList, so a port plugged in while the list is walked cannot make
// the walk skip or repeat an entry.
#include "ports/port_enumeration.h"

#include <algorithm>
#include <cstring>

#include "platform/com_naming.h"
#include "platform/port_source.h"

struct vorlan::PortList {
    std::vector<PortEntry> entries;
    std::size_t position = 0;
};

namespace vorlan {

namespace {

constexpr std::size_t kMaxText = kPortTextBufferSize - 1;

void CopyText(const std::string& text, char* buffer) {
    const std::size_t n = std::min(text.size(), kMaxText);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
}

}  // namespace

PortList* OpenPortList(const std::string& sysfsRoot) {
    return OpenPortList(sysfsRoot, PortAliasFolder());
}

PortList* OpenPortList(const std::string& sysfsRoot, const std::string& aliasFolder) {
    auto* list = new PortList;
    list->entries = PresentSerialPorts(sysfsRoot, aliasFolder);
    return list;
}

int NextPort(PortList* list, char* portName, char* friendlyName) {
    if (list == nullptr || portName == nullptr)
        return 0;
    if (list->position >= list->entries.size()) {
        list->position = 0;  // the next walk starts at the first entry
        return 0;
    }
    const PortEntry& entry = list->entries[list->position++];
    CopyText(entry.portName, portName);
    if (friendlyName != nullptr)
        CopyText(entry.friendlyName, friendlyName);
    return 1;
}

int ClosePortList(PortList* list) {
    if (list == nullptr)
        return 0;
    delete list;
    return 1;
}

std::vector<PortEntry> ListPorts(const std::string& sysfsRoot) {
    return PresentSerialPorts(sysfsRoot, PortAliasFolder());
}

std::vector<PortEntry> ListPorts(const std::string& sysfsRoot, const std::string& aliasFolder) {
    return PresentSerialPorts(sysfsRoot, aliasFolder);
}

}  // namespace vorlan
