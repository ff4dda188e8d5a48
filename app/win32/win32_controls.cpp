#include "app/win32/win32_controls.h"

#include <exception>
#include <map>
#include <tuple>

#include "app/build_version.h"

namespace vorlan::win32 {

namespace {

const wchar_t* const kWindowClass = L"VorlanWindow";
constexpr int kIconResource = 1;

void RegisterWindowClass(WNDPROC procedure) {
    static const bool registered = [procedure] {
        WNDCLASSEXW windowClass = {};
        windowClass.cbSize = sizeof windowClass;
        windowClass.style = CS_DBLCLKS;
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hIcon = LoadIconW(windowClass.hInstance, MAKEINTRESOURCEW(kIconResource));
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        windowClass.lpszClassName = kWindowClass;
        return RegisterClassExW(&windowClass) != 0;
    }();
    (void)registered;
}

}  // namespace

std::wstring Widen(const std::string& utf8) {
    if (utf8.empty())
        return {};
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring text(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(),
                        length);
    return text;
}

std::string Narrow(const std::wstring& text) {
    if (text.empty())
        return {};
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), length,
                        nullptr, nullptr);
    return utf8;
}

HFONT Font(const wchar_t* face, int pixels, bool bold) {
    static std::map<std::tuple<std::wstring, int, bool>, HFONT> fonts;
    HFONT& font = fonts[{face, pixels, bold}];
    if (font == nullptr) {
        font = CreateFontW(-pixels, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                           DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                           DEFAULT_QUALITY, DEFAULT_PITCH, face);
    }
    return font;
}

COLORREF ToColorRef(StatusColour colour) {
    if ((colour >> 24) == 0x80)
        return GetSysColor(static_cast<int>(colour & 0xFF));
    return static_cast<COLORREF>(colour & 0xFFFFFF);
}

HBRUSH SolidBrush(COLORREF colour) {
    static std::map<COLORREF, HBRUSH> brushes;
    HBRUSH& brush = brushes[colour];
    if (brush == nullptr)
        brush = CreateSolidBrush(colour);
    return brush;
}

HWND CreateControl(HWND parent, const wchar_t* className, const std::wstring& text, DWORD style,
                   int x, int y, int width, int height, int id, DWORD exStyle) {
    HWND control =
        CreateWindowExW(exStyle, className, text.c_str(), WS_CHILD | WS_CLIPSIBLINGS | style, x, y,
                        width, height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                        GetModuleHandleW(nullptr), nullptr);
    auto* owner = reinterpret_cast<Window*>(GetWindowLongPtrW(parent, GWLP_USERDATA));
    if (control != nullptr && owner != nullptr && owner->face_ != nullptr)
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(owner->face_), FALSE);
    return control;
}

void SetText(HWND control, const std::string& text) {
    SetWindowTextW(control, Widen(text).c_str());
}

std::string TextOf(HWND control) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    const int length = GetWindowTextW(control, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(length));
    return Narrow(text);
}

Window::~Window() {
    if (hwnd_ != nullptr) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

bool Window::IsShown() const {
    return IsWindowVisible(hwnd_) != FALSE;
}

void Window::CreateFrame(DWORD style, DWORD exStyle, int x, int y, int clientWidth,
                         int clientHeight, HMENU menu) {
    RegisterWindowClass(Procedure);
    RECT frame = {0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&frame, style, menu != nullptr, exStyle);
    clientSize_ = {clientWidth, clientHeight};
    hwnd_ =
        CreateWindowExW(exStyle, kWindowClass, L"", style, x, y, frame.right - frame.left,
                        frame.bottom - frame.top, nullptr, menu, GetModuleHandleW(nullptr), this);
    // A menu bar that wraps takes more than one line: grow the frame so the
    // client area keeps its design size.
    RECT client = {};
    GetClientRect(hwnd_, &client);
    const int missing = clientHeight - (client.bottom - client.top);
    if (missing > 0) {
        SetWindowPos(hwnd_, nullptr, 0, 0, frame.right - frame.left,
                     frame.bottom - frame.top + missing, SWP_NOMOVE | SWP_NOZORDER);
    }
}

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK Window::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* window =
            static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        window->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
    }
    auto* window = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (window == nullptr)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    // Fixed size, also for a frame with a maximise box.
    if (message == WM_GETMINMAXINFO && window->clientSize_.cx > 0) {
        RECT frame = {0, 0, window->clientSize_.cx, window->clientSize_.cy};
        AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE)),
                           GetMenu(hwnd) != nullptr,
                           static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_EXSTYLE)));
        auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
        limits->ptMaxSize = {frame.right - frame.left, frame.bottom - frame.top};
        limits->ptMaxTrackSize = limits->ptMaxSize;
    }
    try {
        return window->HandleMessage(message, wParam, lParam);
    } catch (const std::exception& error) {
        ShowErrorBox(error.what());
    } catch (...) {
        ShowErrorBox("");
    }
    return 0;
}

void ShowErrorBox(const std::string& message) {
    MessageBoxW(nullptr, Widen(message).c_str(), Widen(ApplicationTitle()).c_str(),
                MB_OK | MB_ICONERROR);
}

}  // namespace vorlan::win32
