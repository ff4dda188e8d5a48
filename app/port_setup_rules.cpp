#include "app/port_setup_rules.h"

#include <algorithm>
#include <string_view>

#include "engine/decimal_text.h"
#include "ports/port_selection.h"

namespace vorlan {

namespace {

bool IsPortNameDelimiter(char c) {
    return c == 'C' || c == 'O' || c == 'M';
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               const auto lower = [](char c) {
                   return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
               };
               return lower(x) == lower(y);
           });
}

}  // namespace

std::vector<std::string> DesignTimePortEntries() {
    std::vector<std::string> entries;
    for (int n = 1; n <= 12; ++n) entries.push_back("COM" + std::to_string(n));
    return entries;
}

std::int16_t IndexOfPort(const std::vector<std::string>& portNames, std::int16_t portIndex) {
    const std::string wanted = "COM" + std::to_string(portIndex + 1);
    for (std::size_t position = 0; position < portNames.size(); ++position) {
        if (EqualIgnoringCase(portNames[position], wanted))
            return static_cast<std::int16_t>(position);
    }
    return 0;
}

std::int16_t PortIndexOfEntry(const std::vector<std::string>& portNames, std::int16_t position) {
    std::string text;
    if (position >= 0 && static_cast<std::size_t>(position) < portNames.size())
        text = portNames[static_cast<std::size_t>(position)];
    if (text.empty())
        return 0;
    // The number sits between the letters C, O and M (upper case only), so
    // "COM12" gives "12" while "com3" keeps its letters and reads as 0.
    std::size_t begin = 0;
    while (begin < text.size() && IsPortNameDelimiter(text[begin])) ++begin;
    std::size_t end = begin;
    while (end < text.size() && !IsPortNameDelimiter(text[end])) ++end;
    if (begin == end)
        return 0;
    const std::int64_t number =
        ReadLeadingDecimal(std::string_view(text).substr(begin, end - begin)).Saturated();
    return static_cast<std::int16_t>(
        std::clamp(number - 1, std::int64_t{INT16_MIN}, std::int64_t{INT16_MAX}));
}

void ConfirmPortChoice(const std::vector<std::string>& portNames, std::int16_t selected) {
    const std::int16_t chosen = PortIndexOfEntry(portNames, selected);
    if (chosen != CurrentPortIndex()) {
        CurrentPortIndex() = chosen;
        ReopenSelectedPort();
    }
}

std::int16_t PositionOfCurrentPort(const std::vector<std::string>& portNames) {
    return IndexOfPort(portNames, CurrentPortIndex());
}

}  // namespace vorlan
