#include "app/win32/upgrade_window.h"

#include "app/win32/message_loop.h"
#include "app/win32/port_setup_window.h"
#include "app/win32/window_references.h"
#include "engine/status_reporting.h"

namespace vorlan::win32 {

namespace {

constexpr int kClientWidth = 606;
constexpr int kClientHeight = 181;
constexpr int kPanelLeft = 8;
constexpr int kPanelTop = 8;

// The two big buttons sit on Panel1 as the design has it, but as the
// panel's siblings: a static swallows the clicks of its children.
HWND BigButton(HWND parent, const wchar_t* caption, int id, bool shown) {
    HWND button = CreateControl(parent, L"BUTTON", caption,
                                WS_TABSTOP | BS_PUSHBUTTON | (shown ? WS_VISIBLE : 0),
                                kPanelLeft + 175, kPanelTop + 25, 249, 65, id);
    SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(Font(kSansFace, 33, true)), FALSE);
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
    face_ = Font(kSansFace, 11);
    CreateFrame(WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, 0, 267,
                120, kClientWidth, kClientHeight, menu);
    HWND client = Handle();
    button1_ = BigButton(client, L"START", kButton1, true);
    button2_ = BigButton(client, L"STOP", kButton2, false);
    // Single border with lowered inner and outer bevels, behind the buttons.
    panel1_ = CreateControl(client, L"STATIC", L"", WS_VISIBLE | WS_BORDER, kPanelLeft, kPanelTop,
                            585, 113, 0, WS_EX_CLIENTEDGE);
    SetWindowPos(panel1_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    progressBar1_ = std::make_unique<win32::ProgressBar>(client, 5, 128, 596, 17);
    progressBar1_->SetSmooth(true);
    statusBar1_ = std::make_unique<win32::StatusBar>(
        client, 0, 152, kClientWidth, 29, std::initializer_list<int>{50, 130, 130, 140, 20});
}

void UpgradeWindow::SetStartButtonVisible(bool visible) {
    ShowWindow(button1_, visible ? SW_SHOW : SW_HIDE);
}

void UpgradeWindow::SetStopButtonVisible(bool visible) {
    ShowWindow(button2_, visible ? SW_SHOW : SW_HIDE);
}

void UpgradeWindow::FocusStartButton() {
    SetFocus(button1_);
}

void UpgradeWindow::SetTitle(const std::string& title) {
    SetText(Handle(), title);
}

void UpgradeWindow::SetStatusBarBackground(StatusColour colour) {
    statusBar1_->SetBackground(ToColorRef(colour));
}

void UpgradeWindow::ShowPortSetupWindow() {
    ShowWindowOf(Windows().portSetup);
}

void UpgradeWindow::SetResultTip(const std::string& tip) {
    statusBar1_->SetPanelTip(StepPanelIndex, tip);
}

LRESULT UpgradeWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case kButton1:
                    Button1Click();
                    return 0;
                case kButton2:
                    Button2Click();
                    return 0;
                case kMenuItem:
                    SerialPort1Click();
                    return 0;
                default:
                    break;
            }
            break;
        case WM_CLOSE:
            behaviour_.FormClose();
            ShowWindow(Handle(), SW_HIDE);
            if (mainWindow_)
                EndMessageLoop();
            return 0;
        default:
            break;
    }
    return Window::HandleMessage(message, wParam, lParam);
}

}  // namespace vorlan::win32
