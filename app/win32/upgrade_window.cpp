#include "app/win32/upgrade_window.h"

#include "app/win32/message_loop.h"
#include "engine/status_reporting.h"

namespace vorlan::win32 {

namespace {

constexpr const UpgradeWindowLayout& kLayout = kUpgradeLayout;

// The two big buttons sit on Panel1 as the design has it, but as the
// panel's siblings: a static swallows the clicks of its children.
HWND BigButton(Window& window, const wchar_t* caption, int id, bool shown) {
    const LayoutRect place = {kLayout.panel1.x + kLayout.startStop.x,
                              kLayout.panel1.y + kLayout.startStop.y, kLayout.startStop.width,
                              kLayout.startStop.height};
    HWND button = window.CreateControl(
        L"BUTTON", caption, WS_TABSTOP | BS_PUSHBUTTON | (shown ? WS_VISIBLE : 0), place, id);
    window.SetControlFont(button, {kSansFace, kLayout.startStopPixels, true});
    return button;
}

}  // namespace

UpgradeWindow::UpgradeWindow() : behaviour_(*this, DoubleClickMs) {
    CreateControls();
    behaviour_.Construct();
}

UpgradeWindow::~UpgradeWindow() = default;

void UpgradeWindow::CreateControls() {
    HMENU menu = CreateMenu();
    AppendMenuW(menu, MF_STRING, kMenuItem, L"Serial Port");
    CreateFrame(WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, 0,
                kLayout.position, kLayout.client, menu);
    button1_ = BigButton(*this, L"START", kButton1, true);
    button2_ = BigButton(*this, L"STOP", kButton2, false);
    // Single border with lowered inner and outer bevels, behind the buttons.
    panel1_ =
        CreateControl(L"STATIC", L"", WS_VISIBLE | WS_BORDER, kLayout.panel1, 0, WS_EX_CLIENTEDGE);
    SetWindowPos(panel1_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    progressBar1_ = std::make_unique<win32::ProgressBar>(*this, kLayout.progressBar1);
    progressBar1_->SetSmooth(true);
    statusBar1_ =
        std::make_unique<win32::StatusBar>(*this, kLayout.statusBar1, kLayout.panelWidths);
}

void UpgradeWindow::SetStartButtonVisible(bool visible) {
    ::ShowWindow(button1_, visible ? SW_SHOW : SW_HIDE);
}

void UpgradeWindow::SetStopButtonVisible(bool visible) {
    ::ShowWindow(button2_, visible ? SW_SHOW : SW_HIDE);
}

void UpgradeWindow::FocusStartButton() {
    SetFocus(button1_);
}

void UpgradeWindow::SetStatusBarBackground(StatusColour colour) {
    statusBar1_->SetBackground(ToColorRef(colour));
}

void UpgradeWindow::SetResultTip(const std::string& tip) {
    statusBar1_->SetPanelTip(StepPanelIndex, tip);
}

LRESULT UpgradeWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case kButton1:
                    behaviour_.Button1Click();
                    return 0;
                case kButton2:
                    behaviour_.Button2Click();
                    return 0;
                case kMenuItem:
                    behaviour_.SerialPort1Click();
                    return 0;
                default:
                    break;
            }
            break;
        case WM_CLOSE:
            behaviour_.Closed();
            HideWindow();
            return 0;
        default:
            break;
    }
    return Window::HandleMessage(message, wParam, lParam);
}

}  // namespace vorlan::win32
