#include "app/win32/updater_window.h"

#include <commctrl.h>

#include "app/win32/logo_painter.h"
#include "app/win32/message_loop.h"
#include "app/win32/port_setup_window.h"
#include "app/win32/version_list_window.h"
#include "app/win32/window_references.h"

namespace vorlan::win32 {

namespace {

constexpr int kClientWidth = 511;
constexpr int kClientHeight = 265;
constexpr DWORD kCentredLine = SS_CENTER | SS_CENTERIMAGE | SS_NOPREFIX;

HWND Bevel(HWND parent, int x, int y, int width, int height) {
    HWND bevel = CreateControl(parent, L"STATIC", L"", WS_VISIBLE | SS_SUNKEN, x, y, width, height);
    SetWindowPos(bevel, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return bevel;
}

HWND Line(HWND parent, int x, int y, int width, int height, HFONT font, DWORD extra = 0) {
    HWND line = CreateControl(parent, L"STATIC", L"", kCentredLine | extra, x, y, width, height);
    SendMessageW(line, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return line;
}

}  // namespace

UpdaterWindow::UpdaterWindow() : behaviour_(*this, DoubleClickMs) {
    CreateControls();
    behaviour_.Construct();
}

UpdaterWindow::~UpdaterWindow() = default;

void UpdaterWindow::CreateControls() {
    HMENU menu = CreateMenu();
    AppendMenuW(menu, MF_STRING, kMenuItem, L"&Change port");
    face_ = Font(kSansFace, 11);
    CreateFrame(WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, 450, 212, kClientWidth,
                kClientHeight, menu);
    HWND client = Handle();
    button1_ = CreateControl(client, L"BUTTON", L"&Update", WS_VISIBLE | WS_TABSTOP, 8, 8, 75, 25,
                             kButton1);
    button2_ = CreateControl(client, L"BUTTON", L"&Stop", WS_TABSTOP, 8, 8, 75, 25, kButton2);
    image1_ = CreateControl(client, L"STATIC", L"", WS_VISIBLE | SS_OWNERDRAW | SS_NOTIFY, 396, 0,
                            109, 45, kImage1);
    image2_ = CreateControl(client, L"STATIC", L"", SS_OWNERDRAW, 372, 0, 135, 44, kImage2);

    label1_ = Line(client, 10, 51, 493, 45, Font(kSerifFace, 40, true), WS_VISIBLE | SS_NOTIFY);
    SetWindowLongPtrW(label1_, GWLP_ID, kLabel1);
    label3_ = Line(client, 13, 119, 484, 29, Font(kSansFace, 24, true));
    label4_ = Line(client, 13, 156, 484, 20, Font(kSansFace, 16, true));
    label2_ = Line(client, 13, 182, 484, 29, Font(kSansFace, 24, true), SS_NOTIFY);
    // The frames behind the lines, as their siblings.
    bevel1_ = Bevel(client, 8, 48, 497, 50);
    bevel2_ = Bevel(client, 8, 110, 497, 108);

    progressBar1_ = std::make_unique<win32::ProgressBar>(client, 8, 224, 497, 16);
    progressBar1_->SetSmooth(false);
    statusBar1_ = std::make_unique<win32::StatusBar>(client, 0, 246, kClientWidth, 19,
                                                     std::initializer_list<int>{50, 130, 100, 50});
}

void UpdaterWindow::ShowResultLine(const std::string& text, StatusColour background,
                                   StatusColour textColour) {
    resultBackground_ = ToColorRef(background);
    resultText_ = ToColorRef(textColour);
    SetText(label2_, text);
    ShowWindow(label2_, SW_SHOW);
    InvalidateRect(label2_, nullptr, TRUE);
}

void UpdaterWindow::SetStartButtonVisible(bool visible) {
    ShowWindow(button1_, visible ? SW_SHOW : SW_HIDE);
}

void UpdaterWindow::SetStopButtonVisible(bool visible) {
    ShowWindow(button2_, visible ? SW_SHOW : SW_HIDE);
}

void UpdaterWindow::FocusStartButton() {
    SetFocus(button1_);
}

void UpdaterWindow::EnableChangePortMenu() {
    EnableMenuItem(GetMenu(Handle()), kMenuItem, MF_BYCOMMAND | MF_ENABLED);
}

// Black on the window's own background, painted at once: the run goes on
// before the next messages are handled.
void UpdaterWindow::ShowPlainLine(HWND line, const std::string& text) {
    SetText(line, text);
    ShowWindow(line, SW_SHOW);
    RedrawWindow(line, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void UpdaterWindow::ShowIdentityLine(const std::string& text) {
    ShowPlainLine(label3_, text);
}

void UpdaterWindow::ShowReleaseLine(const std::string& text) {
    ShowPlainLine(label4_, text);
}

void UpdaterWindow::HideReleaseLine() {
    ShowWindow(label4_, SW_HIDE);
}

void UpdaterWindow::SetTitle(const std::string& title) {
    SetText(Handle(), title);
}

void UpdaterWindow::SetStatusBarBackground(StatusColour colour) {
    statusBar1_->SetBackground(ToColorRef(colour));
}

void UpdaterWindow::ShowLogo(LogoChoice logo) {
    ShowWindow(image1_, logo == LogoChoice::kChip ? SW_SHOW : SW_HIDE);
    ShowWindow(image2_, logo == LogoChoice::kWordmark ? SW_SHOW : SW_HIDE);
}

void UpdaterWindow::SetProductLabel(const std::string& text) {
    SetText(label1_, text);
}

std::string UpdaterWindow::ProductLabel() const {
    return TextOf(label1_);
}

void UpdaterWindow::HideResultLines() {
    for (HWND line : {label2_, label3_}) {
        ShowWindow(line, SW_HIDE);
        UpdateWindow(Handle());
    }
}

void UpdaterWindow::ShowPortSetupWindow() {
    ShowWindowOf(Windows().portSetup);
}

void UpdaterWindow::ShowVersionListWindow(const std::string& title) {
    VersionListWindow* versionList = Windows().versionList;
    if (versionList == nullptr)
        return;
    SetText(versionList->Handle(), title);
    ShowWindowOf(versionList);
}

void UpdaterWindow::SetResultTip(const std::string& tip) {
    if (tips_ == nullptr) {
        tips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
    }
    std::wstring text = Widen(tip);
    TTTOOLINFOW tool = {};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(label2_);
    tool.lpszText = text.data();
    SendMessageW(tips_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    if (!text.empty())
        SendMessageW(tips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

LRESULT UpdaterWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
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
                    S1Click();
                    return 0;
                case kLabel1:
                    if (HIWORD(wParam) == STN_DBLCLK)
                        Label1DblClick();
                    return 0;
                default:
                    break;  // Image1's double-click does nothing
            }
            break;
        case WM_CTLCOLORSTATIC:
            if (reinterpret_cast<HWND>(lParam) == label2_) {
                HDC dc = reinterpret_cast<HDC>(wParam);
                SetTextColor(dc, resultText_);
                SetBkColor(dc, resultBackground_);
                return reinterpret_cast<LRESULT>(SolidBrush(resultBackground_));
            }
            break;
        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            FillRect(item->hDC, &item->rcItem, GetSysColorBrush(COLOR_BTNFACE));
            if (item->hwndItem == image1_)
                PaintChipLogo(item->hDC, item->rcItem);
            if (item->hwndItem == image2_)
                PaintWordmarkLogo(item->hDC, item->rcItem);
            return TRUE;
        }
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
