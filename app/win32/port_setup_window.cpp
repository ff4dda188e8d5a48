#include "app/win32/port_setup_window.h"

#include "app/port_setup_rules.h"
#include "app/window_titles.h"
#include "ports/port_enumeration.h"

namespace vorlan::win32 {

namespace {

constexpr int kClientWidth = 456;
constexpr int kClientHeight = 94;
// The drop-down part: room for a dozen ports before it scrolls.
constexpr int kDropDownHeight = 21 + 12 * 16;

}  // namespace

PortSetupWindow::PortSetupWindow() {
    face_ = Font(kSansFace, 11);  // 8 points
    // The design gives no place; over the main windows' left half.
    CreateFrame(WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME, 300, 200, kClientWidth,
                kClientHeight);
    SetText(Handle(), kPortSetupTitle);
    // Created in tab order: Button1, Button2, ComboBox1.
    button1_ = CreateControl(Handle(), L"BUTTON", L"&Ok",
                             WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 293, 56, 75, 25, kButton1);
    button2_ = CreateControl(Handle(), L"BUTTON", L"&Cancel", WS_VISIBLE | WS_TABSTOP, 373, 56, 75,
                             25, kButton2);
    comboBox1_ = CreateControl(Handle(), L"COMBOBOX", L"",
                               WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 41, 16, 408,
                               kDropDownHeight, kComboBox1);
    label1_ = CreateControl(Handle(), L"STATIC", L"Port :", WS_VISIBLE, 9, 19, 25, 13);
    // The entries of the form at design time; every showing replaces them.
    for (const std::string& entry : DesignTimePortEntries()) {
        SendMessageW(comboBox1_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(entry).c_str()));
    }
    Select(0);
}

void PortSetupWindow::FillPortLists() {
    SendMessageW(comboBox1_, CB_RESETCONTENT, 0, 0);
    portNames_.clear();
    for (const PortEntry& port : ListPorts()) {
        SendMessageW(comboBox1_, CB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(Widen(port.friendlyName).c_str()));
        portNames_.push_back(port.portName);
    }
}

void PortSetupWindow::FormShow() {
    FillPortLists();
    Select(PositionOfCurrentPort(portNames_));
}

void PortSetupWindow::Button1Click() {
    const auto selected = static_cast<std::int16_t>(SendMessageW(comboBox1_, CB_GETCURSEL, 0, 0));
    ConfirmPortChoice(portNames_, selected);
    ShowWindow(Handle(), SW_HIDE);
}

void PortSetupWindow::Button2Click() {
    Select(PositionOfCurrentPort(portNames_));
    ShowWindow(Handle(), SW_HIDE);
}

void PortSetupWindow::Select(std::int16_t position) {
    // A position past the entries (no ports) selects nothing.
    SendMessageW(comboBox1_, CB_SETCURSEL, static_cast<WPARAM>(position), 0);
}

LRESULT PortSetupWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SHOWWINDOW:
            // Only when the program shows the window, not when the system
            // merely restores it.
            if (wParam != FALSE && lParam == 0)
                FormShow();
            break;
        case WM_COMMAND:
            if (LOWORD(wParam) == kButton1 || LOWORD(wParam) == IDOK) {
                Button1Click();
                return 0;
            }
            if (LOWORD(wParam) == kButton2 || LOWORD(wParam) == IDCANCEL) {
                Button2Click();
                return 0;
            }
            break;
        case WM_CLOSE:
            // The frame's close button: no handler, the choice stays.
            ShowWindow(Handle(), SW_HIDE);
            return 0;
        default:
            break;
    }
    return Window::HandleMessage(message, wParam, lParam);
}

}  // namespace vorlan::win32
