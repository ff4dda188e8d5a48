#include "app/win32/run_bars.h"

#include <commctrl.h>
#include <uxtheme.h>

#include <chrono>

#include "app/win32/win32_controls.h"

namespace vorlan::win32 {

namespace {

const wchar_t* const kOwnerProperty = L"VorlanProgressBar";
constexpr UINT_PTR kFlushTimer = 1;
// The control paints itself at once on each new position, which under wine
// costs a millisecond and more of a run: it is given a new position at most
// this often, and the last one always.
constexpr auto kMoveInterval = std::chrono::milliseconds(20);

}  // namespace

ProgressBar::ProgressBar(Window& owner, const LayoutRect& place)
    : hwnd_(owner.CreateControl(PROGRESS_CLASSW, L"", WS_VISIBLE, place)) {
    SetPropW(hwnd_, kOwnerProperty, this);
    SendMessageW(hwnd_, PBM_SETRANGE32, 0, 100);
    SendMessageW(hwnd_, PBM_SETPOS, 0, 0);
}

ProgressBar::~ProgressBar() {
    KillTimer(hwnd_, kFlushTimer);
    RemovePropW(hwnd_, kOwnerProperty);
}

void ProgressBar::SetPosition(int position) {
    position_ = position;
    if (std::chrono::steady_clock::now() - lastMove_ >= kMoveInterval) {
        Move();
    } else {
        SetTimer(hwnd_, kFlushTimer, static_cast<UINT>(kMoveInterval.count()), OnFlushTimer);
    }
}

void ProgressBar::Move() {
    KillTimer(hwnd_, kFlushTimer);
    lastMove_ = std::chrono::steady_clock::now();
    SendMessageW(hwnd_, PBM_SETPOS, static_cast<WPARAM>(position_), 0);
}

void CALLBACK ProgressBar::OnFlushTimer(HWND hwnd, UINT, UINT_PTR, DWORD) {
    if (auto* bar = static_cast<ProgressBar*>(GetPropW(hwnd, kOwnerProperty)))
        bar->Move();
}

void ProgressBar::SetMaximum(int maximum) {
    SendMessageW(hwnd_, PBM_SETRANGE32, 0, maximum);
}

void ProgressBar::SetSmooth(bool smooth) {
    const LONG_PTR style = GetWindowLongPtrW(hwnd_, GWL_STYLE);
    SetWindowLongPtrW(hwnd_, GWL_STYLE, smooth ? style | PBS_SMOOTH : style & ~PBS_SMOOTH);
    InvalidateRect(hwnd_, nullptr, TRUE);
}

int ProgressBar::Position() const {
    return position_;
}

bool ProgressBar::Smooth() const {
    return (GetWindowLongPtrW(hwnd_, GWL_STYLE) & PBS_SMOOTH) != 0;
}

StatusBar::StatusBar(Window& owner, const LayoutRect& place, std::span<const int> widths)
    : owner_(owner),
      hwnd_(owner.CreateControl(STATUSCLASSNAMEW, L"",
                                WS_VISIBLE | CCS_NOPARENTALIGN | CCS_NORESIZE | SBARS_TOOLTIPS,
                                place)),
      height_(place.height) {
    int edge = 0;
    for (const int panelWidth : widths) {
        edge += panelWidth;
        edges_.push_back(edge);
    }
    SetParts();
    owner_.FollowDpi([this] { SetParts(); });
    // A themed bar ignores its background colour.
    SetWindowTheme(hwnd_, L" ", L" ");
}

void StatusBar::SetParts() {
    // As on a classic status bar, the last panel reaches the bar's end, so
    // a long last text ("Loaded 64512 bytes ...") has room.
    std::vector<int> parts;
    for (const int edge : edges_) parts.push_back(owner_.Scaled(edge));
    parts.back() = -1;
    SendMessageW(hwnd_, SB_SETPARTS, parts.size(), reinterpret_cast<LPARAM>(parts.data()));
    SendMessageW(hwnd_, SB_SETMINHEIGHT, static_cast<WPARAM>(owner_.Scaled(height_)), 0);
}

void StatusBar::SetPanelText(int panel, const std::string& text) {
    if (panel < 0 || panel >= PanelCount())
        return;
    SendMessageW(hwnd_, SB_SETTEXTW, static_cast<WPARAM>(panel),
                 reinterpret_cast<LPARAM>(Widen(text).c_str()));
}

void StatusBar::RepaintNow() {
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void StatusBar::SetBackground(COLORREF colour) {
    SendMessageW(hwnd_, SB_SETBKCOLOR, 0, static_cast<LPARAM>(colour));
}

void StatusBar::SetPanelTip(int panel, const std::string& tip) {
    if (panel < 0 || panel >= PanelCount())
        return;
    if (tips_ == nullptr) {
        tips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
    }
    std::wstring text = Widen(tip);
    TTTOOLINFOW tool = {};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_SUBCLASS;
    tool.hwnd = hwnd_;
    tool.uId = static_cast<UINT_PTR>(panel);
    SendMessageW(hwnd_, SB_GETRECT, static_cast<WPARAM>(panel),
                 reinterpret_cast<LPARAM>(&tool.rect));
    tool.lpszText = text.data();
    SendMessageW(tips_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    if (!text.empty())
        SendMessageW(tips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

std::string StatusBar::PanelText(int panel) const {
    if (panel < 0 || panel >= PanelCount())
        return {};
    const auto length =
        LOWORD(SendMessageW(hwnd_, SB_GETTEXTLENGTHW, static_cast<WPARAM>(panel), 0));
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(hwnd_, SB_GETTEXTW, static_cast<WPARAM>(panel),
                 reinterpret_cast<LPARAM>(text.data()));
    text.resize(length);
    return Narrow(text);
}

std::vector<int> StatusBar::PanelEdges() const {
    std::vector<int> parts(edges_.size());
    SendMessageW(hwnd_, SB_GETPARTS, parts.size(), reinterpret_cast<LPARAM>(parts.data()));
    return parts;
}

}  // namespace vorlan::win32
