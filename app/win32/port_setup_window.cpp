#include "app/win32/port_setup_window.h"

#include "app/window_titles.h"

namespace vorlan::win32 {

namespace {

constexpr const PortSetupWindowLayout& kLayout = kPortSetupLayout;

}  // namespace

PortSetupWindow::PortSetupWindow() {
    CreateFrame(WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME, kLayout.position,
                kLayout.client);
    SetTitle(kPortSetupTitle);
    // Created in tab order: Button1, Button2, ComboBox1.
    button1_ = CreateControl(L"BUTTON", L"&Ok", WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
                             kLayout.button1, kButton1);
    button2_ =
        CreateControl(L"BUTTON", L"&Cancel", WS_VISIBLE | WS_TABSTOP, kLayout.button2, kButton2);
    LayoutRect dropDown = kLayout.comboBox1;
    dropDown.height = kLayout.dropDownHeight;
    comboBox1_ =
        CreateControl(L"COMBOBOX", L"", WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST,
                      dropDown, kComboBox1);
    label1_ = CreateControl(L"STATIC", L"Port :", WS_VISIBLE, kLayout.label1);
    behaviour_ = std::make_unique<PortSetupBehaviour>(*this, "/sys");
}

void PortSetupWindow::SetEntries(const std::vector<std::string>& friendlyNames) {
    SendMessageW(comboBox1_, CB_RESETCONTENT, 0, 0);
    for (const std::string& name : friendlyNames)
        SendMessageW(comboBox1_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(name).c_str()));
}

void PortSetupWindow::SelectEntry(std::int16_t position) {
    // A position past the entries (no ports) selects nothing.
    SendMessageW(comboBox1_, CB_SETCURSEL, static_cast<WPARAM>(position), 0);
}

std::int16_t PortSetupWindow::SelectedEntry() const {
    return static_cast<std::int16_t>(SendMessageW(comboBox1_, CB_GETCURSEL, 0, 0));
}

LRESULT PortSetupWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SHOWWINDOW:
            // Only when the program shows the window, not when the system
            // merely restores it.
            if (wParam != FALSE && lParam == 0)
                behaviour_->FormShow();
            break;
        case WM_COMMAND:
            if (LOWORD(wParam) == kButton1 || LOWORD(wParam) == IDOK) {
                behaviour_->Button1Click();
                return 0;
            }
            if (LOWORD(wParam) == kButton2 || LOWORD(wParam) == IDCANCEL) {
                behaviour_->Button2Click();
                return 0;
            }
            break;
        case WM_CLOSE:
            // The frame's close button: no handler, the choice stays.
            HideWindow();
            return 0;
        default:
            break;
    }
    return Window::HandleMessage(message, wParam, lParam);
}

}  // namespace vorlan::win32
