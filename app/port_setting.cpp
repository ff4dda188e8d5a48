#include "app/port_setting.h"

#include <cctype>

#include "app/settings_store.h"
#include "ports/port_selection.h"
#include "ports/serial_driver.h"

namespace vorlan {

std::int16_t PortIndexFromSetting(const std::string& text) {
    std::size_t at = 0;
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at])) != 0) ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '-' || text[at] == '+')) {
        negative = text[at] == '-';
        ++at;
    }
    // Counting modulo 2^16 keeps exactly the low 16 bits of any length of
    // number, without overflow on the way.
    std::uint32_t value = 0;
    for (; at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])) != 0; ++at) {
        value = (value * 10U + static_cast<std::uint32_t>(text[at] - '0')) & 0xFFFFU;
    }
    if (negative)
        value = (0x10000U - value) & 0xFFFFU;
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(value));
}

void RestorePortFromSetting() {
    const std::string stored = ReadSetting("com");
    CurrentPortIndex() = stored.empty() ? std::int16_t{0} : PortIndexFromSetting(stored);
    OpenedPortIndex() = static_cast<std::int16_t>(CurrentPortIndex() - 1);
}

void StorePortAtClose() {
    if (OpenedPortIndex() == CurrentPortIndex())
        ClosePort(CurrentPortIndex());
    WriteSetting("com", std::to_string(CurrentPortIndex()));
}

}  // namespace vorlan
