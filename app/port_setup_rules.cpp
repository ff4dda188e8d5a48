#include "app/port_setup_rules.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "engine/decimal_text.h"
#include "ports/port_enumeration.h"
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

PortSetupBehaviour::PortSetupBehaviour(PortSetupControls& controls, std::string sysfsRoot)
    : controls_(controls), sysfsRoot_(std::move(sysfsRoot)) {
    // The entries of the form at design time; every showing replaces them.
    controls_.SetEntries(DesignTimePortEntries());
    controls_.SelectEntry(0);
}

void PortSetupBehaviour::SetEntries(std::vector<std::string> friendlyNames,
                                    std::vector<std::string> portNames) {
    controls_.SetEntries(friendlyNames);
    portNames_ = std::move(portNames);
}

void PortSetupBehaviour::FillPortLists() {
    std::vector<std::string> friendlyNames;
    std::vector<std::string> portNames;
    for (PortEntry& port : ListPorts(sysfsRoot_)) {
        friendlyNames.push_back(std::move(port.friendlyName));
        portNames.push_back(std::move(port.portName));
    }
    SetEntries(std::move(friendlyNames), std::move(portNames));
}

void PortSetupBehaviour::FormShow() {
    FillPortLists();
    controls_.SelectEntry(PositionOfCurrentPort(portNames_));
}

void PortSetupBehaviour::Button1Click() {
    ConfirmPortChoice(portNames_, controls_.SelectedEntry());
    controls_.HideWindow();
}

void PortSetupBehaviour::Button2Click() {
    controls_.SelectEntry(PositionOfCurrentPort(portNames_));
    controls_.HideWindow();
}

}  // namespace vorlan
