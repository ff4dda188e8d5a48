// The Port setup window on the Win32 controls: the serial ports present by
// their friendly names in a drop-down list, "&Ok" and "&Cancel". What they
// do is app/port_setup_rules.h's; the port names of the entries (the hidden
// list of the design) are kept beside the list. Created once at start-up,
// hidden while not in use, shown without being modal. UI thread only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/win32/win32_controls.h"

namespace vorlan::win32 {

class PortSetupWindow final : public Window {
public:
    PortSetupWindow();

    // Empties the list and refills it from the port enumeration.
    void FillPortLists();
    void FormShow();
    void Button1Click();
    void Button2Click();

    HWND Button1() const { return button1_; }      // "&Ok"
    HWND Button2() const { return button2_; }      // "&Cancel"
    HWND ComboBox1() const { return comboBox1_; }  // friendly names
    HWND Label1() const { return label1_; }        // "Port :"
    // The port names of the entries, entry k of the list naming port k.
    const std::vector<std::string>& PortNames() const { return portNames_; }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Select(std::int16_t position);

    HWND button1_ = nullptr;
    HWND button2_ = nullptr;
    HWND comboBox1_ = nullptr;
    HWND label1_ = nullptr;
    std::vector<std::string> portNames_;
};

}  // namespace vorlan::win32
