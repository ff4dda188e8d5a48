// What the Port setup window does, written once for every toolkit: the ports
// it lists, which entry it preselects, which port index an entry names, and
// what "&Ok" and "&Cancel" do with the choice. A toolkit's window keeps the
// port names of its entries (the hidden list) and hands them in here; it
// fills its lists from ListPorts (ports/port_enumeration.h).
// UI thread only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vorlan {

// The design-time entries of the visible list, COM1 to COM12; each showing
// replaces them.
std::vector<std::string> DesignTimePortEntries();

// Position of "COM<portIndex + 1>" among the port names (compared without
// regard to case); 0 when the port is not listed or the list is empty.
std::int16_t IndexOfPort(const std::vector<std::string>& portNames, std::int16_t portIndex);

// Port index the port name at position names: the number after the
// upper-case letters C, O, M, minus 1 ("COM3" gives 2). A position outside
// the list (-1: nothing selected) gives 0; a name without such a number
// ("com3") gives -1.
std::int16_t PortIndexOfEntry(const std::vector<std::string>& portNames, std::int16_t position);

// "&Ok" with the visible list's selected position: a port index other than
// the current one becomes the current one and is reopened (which reports
// "Invalid Port Com" when it cannot be used). The window then hides.
void ConfirmPortChoice(const std::vector<std::string>& portNames, std::int16_t selected);

// "&Cancel" and each showing: the position to select, the current port's.
std::int16_t PositionOfCurrentPort(const std::vector<std::string>& portNames);

}  // namespace vorlan
