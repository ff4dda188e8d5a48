#include "app/win32/version_list_window.h"

#include <algorithm>

#include "app/window_titles.h"
#include "catalogue/version_list.h"

namespace vorlan::win32 {

namespace {

constexpr const VersionListWindowLayout& kLayout = kVersionListLayout;
constexpr FontSpec kListFont = {kFixedFace, kFacePixels};

}  // namespace

VersionListWindow::VersionListWindow() {
    CreateFrame(WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME, kLayout.position,
                kLayout.client);
    SetTitle(kVersionListDesignTitle);
    // Created in tab order: the button first, then the list.
    button1_ = CreateControl(L"BUTTON", L"&Ok", WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
                             kLayout.button1, kButton1);
    listBox1_ = CreateControl(
        L"LISTBOX", L"", WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | LBS_NOINTEGRALHEIGHT,
        kLayout.listBox1, kListBox1, WS_EX_CLIENTEDGE);
    SetControlFont(listBox1_, kListFont);
    const auto setItemHeight = [this] {
        SendMessageW(listBox1_, LB_SETITEMHEIGHT, 0, Scaled(kLayout.itemHeight));
    };
    setItemHeight();
    FollowDpi(setItemHeight);
}

void VersionListWindow::FormShow() {
    SendMessageW(listBox1_, LB_RESETCONTENT, 0, 0);
    FillVersionList();
}

void VersionListWindow::FillVersionList() {
    HDC dc = GetDC(listBox1_);
    HGDIOBJ old = SelectObject(dc, FontOf(kListFont));
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
    HideWindow();
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
            HideWindow();
            return 0;
        default:
            break;
    }
    return Window::HandleMessage(message, wParam, lParam);
}

}  // namespace vorlan::win32
