// The Port setup window on the Win32 controls: the serial ports present by
// their friendly names in a drop-down list, "&Ok" and "&Cancel". What they
// do is app/port_setup_rules.h's; this class creates the controls, forwards
// their events and implements the controls interface. Created once at
// start-up, hidden while not in use, shown without being modal. UI thread
// only.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/port_setup_rules.h"
#include "app/win32/win32_controls.h"

namespace vorlan::win32 {

class PortSetupWindow final : public DesktopWindowOf<PortSetupControls> {
public:
    PortSetupWindow();

    PortSetupBehaviour& Behaviour() { return *behaviour_; }

    // PortSetupControls
    void SetEntries(const std::vector<std::string>& friendlyNames) override;
    void SelectEntry(std::int16_t position) override;
    std::int16_t SelectedEntry() const override;

    HWND Button1() const { return button1_; }      // "&Ok"
    HWND Button2() const { return button2_; }      // "&Cancel"
    HWND ComboBox1() const { return comboBox1_; }  // friendly names
    HWND Label1() const { return label1_; }        // "Port :"

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    HWND button1_ = nullptr;
    HWND button2_ = nullptr;
    HWND comboBox1_ = nullptr;
    HWND label1_ = nullptr;
    // Made once the controls exist: it puts the design-time entries in.
    std::unique_ptr<PortSetupBehaviour> behaviour_;
};

}  // namespace vorlan::win32
