#include "app/win32/version_list_window.h"

#include <algorithm>

#include "app/window_titles.h"
#include "catalogue/version_list.h"

namespace vorlan::win32 {

namespace {

// The form is 412 x 272 pixels with its sizeable frame (4 pixels each side,
// 19 for the caption), which leaves this client area.
constexpr int kClientWidth = 412 - 2 * 4;
constexpr int kClientHeight = 272 - 2 * 4 - 19;
constexpr int kItemHeight = 13;

}  // namespace

VersionListWindow::VersionListWindow() {
    face_ = Font(kSansFace, 11);
    CreateFrame(WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME, 158, 103, kClientWidth,
                kClientHeight);
    SetText(Handle(), kVersionListDesignTitle);
    // Created in tab order: the button first, then the list.
    button1_ =
        CreateControl(Handle(), L"BUTTON", L"&Ok", WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 303,
                      204, 75, 26, kButton1);
    listBox1_ =
        CreateControl(Handle(), L"LISTBOX", L"",
                      WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | LBS_NOINTEGRALHEIGHT, 8,
                      10, 373, 184, kListBox1, WS_EX_CLIENTEDGE);
    SendMessageW(listBox1_, WM_SETFONT, reinterpret_cast<WPARAM>(Font(kFixedFace, 11)), FALSE);
    SendMessageW(listBox1_, LB_SETITEMHEIGHT, 0, kItemHeight);
}

void VersionListWindow::FormShow() {
    SendMessageW(listBox1_, LB_RESETCONTENT, 0, 0);
    FillVersionList();
}

void VersionListWindow::FillVersionList() {
    HDC dc = GetDC(listBox1_);
    HGDIOBJ old = SelectObject(dc, Font(kFixedFace, 11));
    int widest = 0;
    for (const std::string& line : vorlan::FillVersionList()) {
        const std::wstring text = Widen(line);
        SendMessageW(listBox1_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        SIZE size = {};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        widest = std::max(widest, static_cast<int>(size.cx));
    }
    SelectObject(dc, old);
    ReleaseDC(listBox1_, dc);
    // Lines wider than the box scroll sideways rather than lose their end.
    SendMessageW(listBox1_, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest + 4), 0);
}

void VersionListWindow::Button1Click() {
    ShowWindow(Handle(), SW_HIDE);
}

LRESULT VersionListWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SHOWWINDOW:
            if (wParam != FALSE && lParam == 0)
                FormShow();
            break;
        case WM_COMMAND:
            if (LOWORD(wParam) == kButton1 || LOWORD(wParam) == IDOK ||
                LOWORD(wParam) == IDCANCEL) {
                Button1Click();
                return 0;
            }
            break;
        case WM_CLOSE:
            ShowWindow(Handle(), SW_HIDE);
            return 0;
        default:
            break;
    }
    return Window::HandleMessage(message, wParam, lParam);
}

}  // namespace vorlan::win32
