// What the Port setup window does, written once for every toolkit: the ports
// it lists, which entry it preselects, which port index an entry names, and
// what "&Ok" and "&Cancel" do with the choice. The behaviour keeps the port
// names of the entries (the hidden list of the design); a toolkit's window
// shows the friendly names and forwards its events. UI thread only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/desktop_window.h"

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

// What the behaviour needs of the Port setup window's controls.
class PortSetupControls : public DesktopWindow {
public:
    // Replaces the drop-down list's entries.
    virtual void SetEntries(const std::vector<std::string>& friendlyNames) = 0;
    // A position past the entries (no ports) selects nothing.
    virtual void SelectEntry(std::int16_t position) = 0;
    // -1 when nothing is selected.
    virtual std::int16_t SelectedEntry() const = 0;
};

class PortSetupBehaviour {
public:
    // sysfsRoot: where the serial ports present are looked up ("/sys" on a
    // real machine, a fake tree in tests; unused on Windows). The controls
    // get the design-time entries.
    PortSetupBehaviour(PortSetupControls& controls, std::string sysfsRoot);

    // Empties the lists and refills them from the port enumeration, entry k
    // of the visible list and of the port names naming the same port.
    void FillPortLists();
    // The window is shown: the lists refilled, the current port preselected.
    void FormShow();
    void Button1Click();  // "&Ok": the choice made current and reopened; hides
    void Button2Click();  // "&Cancel": the current port selected again; hides

    const std::vector<std::string>& PortNames() const { return portNames_; }
    // Puts entries in by hand, for port names the enumeration never gives.
    void SetEntries(std::vector<std::string> friendlyNames, std::vector<std::string> portNames);

private:
    PortSetupControls& controls_;
    std::string sysfsRoot_;
    std::vector<std::string> portNames_;
};

}  // namespace vorlan
