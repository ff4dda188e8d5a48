#include "app/win32/updater_window.h"

#include <commctrl.h>

#include "app/win32/logo_painter.h"
#include "app/win32/message_loop.h"

namespace vorlan::win32 {

namespace {

constexpr const UpdaterWindowLayout& kLayout = kUpdaterLayout;
constexpr DWORD kCentredLine = SS_CENTER | SS_CENTERIMAGE | SS_NOPREFIX;

HWND Bevel(Window& window, const LayoutRect& place) {
    HWND bevel = window.CreateControl(L"STATIC", L"", WS_VISIBLE | SS_SUNKEN, place);
    SetWindowPos(bevel, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return bevel;
}

HWND Line(Window& window, const LayoutRect& place, const FontSpec& font, DWORD extra = 0,
          int id = 0) {
    HWND line = window.CreateControl(L"STATIC", L"", kCentredLine | extra, place, id);
    window.SetControlFont(line, font);
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
    CreateFrame(WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, kLayout.position,
                kLayout.client, menu);
    button1_ =
        CreateControl(L"BUTTON", L"&Update", WS_VISIBLE | WS_TABSTOP, kLayout.startStop, kButton1);
    button2_ = CreateControl(L"BUTTON", L"&Stop", WS_TABSTOP, kLayout.startStop, kButton2);
    image1_ = CreateControl(L"STATIC", L"", WS_VISIBLE | SS_OWNERDRAW | SS_NOTIFY, kLayout.image1,
                            kImage1);
    image2_ = CreateControl(L"STATIC", L"", SS_OWNERDRAW, kLayout.image2, kImage2);

    label1_ = Line(*this, kLayout.label1, {kSerifFace, kLayout.label1Pixels, true},
                   WS_VISIBLE | SS_NOTIFY, kLabel1);
    label3_ = Line(*this, kLayout.label3, {kSansFace, kLayout.label3Pixels, true});
    label4_ = Line(*this, kLayout.label4, {kSansFace, kLayout.label4Pixels, true});
    label2_ = Line(*this, kLayout.label2, {kSansFace, kLayout.label2Pixels, true}, SS_NOTIFY);
    // The frames behind the lines, as their siblings.
    bevel1_ = Bevel(*this, kLayout.bevel1);
    bevel2_ = Bevel(*this, kLayout.bevel2);

    progressBar1_ = std::make_unique<win32::ProgressBar>(*this, kLayout.progressBar1);
    progressBar1_->SetSmooth(false);
    statusBar1_ =
        std::make_unique<win32::StatusBar>(*this, kLayout.statusBar1, kLayout.panelWidths);
}

void UpdaterWindow::ShowResultLine(const std::string& text, StatusColour background,
                                   StatusColour textColour) {
    resultBackground_ = ToColorRef(background);
    resultText_ = ToColorRef(textColour);
    SetText(label2_, text);
    ::ShowWindow(label2_, SW_SHOW);
    InvalidateRect(label2_, nullptr, TRUE);
}

void UpdaterWindow::EnableChangePortMenu() {
    EnableMenuItem(GetMenu(Handle()), kMenuItem, MF_BYCOMMAND | MF_ENABLED);
}

// Black on the window's own background, painted at once: the run goes on
// before the next messages are handled.
void UpdaterWindow::ShowPlainLine(HWND line, const std::string& text) {
    SetText(line, text);
    ::ShowWindow(line, SW_SHOW);
    RedrawWindow(line, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void UpdaterWindow::ShowLogo(LogoChoice logo) {
    ::ShowWindow(image1_, logo == LogoChoice::kChip ? SW_SHOW : SW_HIDE);
    ::ShowWindow(image2_, logo == LogoChoice::kWordmark ? SW_SHOW : SW_HIDE);
}

void UpdaterWindow::HideResultLines() {
    for (HWND line : {label2_, label3_}) {
        ::ShowWindow(line, SW_HIDE);
        UpdateWindow(Handle());
    }
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
                    behaviour_.Button1Click();
                    return 0;
                case kButton2:
                    behaviour_.Button2Click();
                    return 0;
                case kMenuItem:
                    behaviour_.S1Click();
                    return 0;
                case kLabel1:
                    if (HIWORD(wParam) == STN_DBLCLK)
                        behaviour_.Label1DblClick();
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
            behaviour_.Closed();
            HideWindow();
            return 0;
        default:
            break;
    }
    return Window::HandleMessage(message, wParam, lParam);
}

}  // namespace vorlan::win32
