#include "app/win32/win32_controls.h"

#include <exception>
#include <fstream>
#include <map>
#include <tuple>

#include "app/build_version.h"

namespace vorlan::win32 {

namespace {

const wchar_t* const kWindowClass = L"VorlanWindow";
constexpr int kDesignDpi = 96;
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

int Window::Scaled(int designPixels) const {
    return MulDiv(designPixels, dpi_, kDesignDpi);
}

HFONT Window::FontOf(const FontSpec& font) const {
    return Font(font.face, Scaled(font.pixels), font.bold);
}

HWND Window::CreateControl(const wchar_t* className, const std::wstring& text, DWORD style,
                           const LayoutRect& place, int id, DWORD exStyle) {
    HWND control = CreateWindowExW(
        exStyle, className, text.c_str(), WS_CHILD | WS_CLIPSIBLINGS | style, Scaled(place.x),
        Scaled(place.y), Scaled(place.width), Scaled(place.height), hwnd_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    if (control != nullptr) {
        placed_.push_back({control, place, face_});
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(face_)), FALSE);
    }
    return control;
}

void Window::SetControlFont(HWND control, const FontSpec& font) {
    for (Placed& placed : placed_) {
        if (placed.control == control)
            placed.font = font;
    }
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(font)), TRUE);
}

void Window::FitFrame(const POINT* at) {
    const int width = Scaled(client_.width);
    const int height = Scaled(client_.height);
    RECT frame = {0, 0, width, height};
    AdjustWindowRectExForDpi(
        &frame, static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE)), GetMenu(hwnd_) != nullptr,
        static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)), static_cast<UINT>(dpi_));
    frameSize_ = {frame.right - frame.left, frame.bottom - frame.top};
    const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | (at == nullptr ? SWP_NOMOVE : 0);
    SetWindowPos(hwnd_, nullptr, at ? at->x : 0, at ? at->y : 0, frameSize_.cx, frameSize_.cy,
                 flags);
    // A menu bar that wraps takes more than one line: the frame grows so the
    // client area keeps its size.
    RECT client = {};
    GetClientRect(hwnd_, &client);
    const int missing = height - (client.bottom - client.top);
    if (missing > 0) {
        frameSize_.cy += missing;
        SetWindowPos(hwnd_, nullptr, 0, 0, frameSize_.cx, frameSize_.cy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void Window::CreateFrame(DWORD style, DWORD exStyle, LayoutPoint position, LayoutSize client,
                         HMENU menu, FontSpec face) {
    RegisterWindowClass(Procedure);
    client_ = client;
    face_ = face;
    hwnd_ = CreateWindowExW(exStyle, kWindowClass, L"", style, position.x, position.y, client.width,
                            client.height, nullptr, menu, GetModuleHandleW(nullptr), this);
    // The dpi of the screen the window is on, known once it exists.
    dpi_ = static_cast<int>(GetDpiForWindow(hwnd_));
    if (dpi_ <= 0)
        dpi_ = kDesignDpi;
    const POINT at = {Scaled(position.x), Scaled(position.y)};
    FitFrame(&at);
}

void Window::PlaceControls() {
    for (const Placed& placed : placed_) {
        SetWindowPos(placed.control, nullptr, Scaled(placed.place.x), Scaled(placed.place.y),
                     Scaled(placed.place.width), Scaled(placed.place.height),
                     SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(placed.control, WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(placed.font)),
                     TRUE);
    }
    for (const auto& follow : followers_) follow();
}

void Window::ChangeDpi(int dpi, const RECT& suggested) {
    dpi_ = dpi;
    PlaceControls();
    const POINT at = {suggested.left, suggested.top};
    FitFrame(&at);
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void Window::ShowInFront() {
    ::ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    UpdateWindow(hwnd_);
}

LayoutSize Window::ClientPixels() const {
    RECT client = {};
    GetClientRect(hwnd_, &client);
    return {client.right - client.left, client.bottom - client.top};
}

bool Window::SaveBitmap(const std::string& path) const {
    RECT rect = {};
    GetWindowRect(hwnd_, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    SelectObject(memory, old);

    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    const int stride = (width * 3 + 3) & ~3;
    std::vector<char> pixels(static_cast<std::size_t>(stride) * static_cast<std::size_t>(height));
    GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(),
              reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = static_cast<DWORD>(file.bfOffBits + pixels.size());
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info), sizeof info);
    out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
    return static_cast<bool>(out);
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
    if (message == WM_GETMINMAXINFO && window->frameSize_.cx > 0) {
        auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
        limits->ptMaxSize = {window->frameSize_.cx, window->frameSize_.cy};
        limits->ptMaxTrackSize = limits->ptMaxSize;
    }
    if (message == WM_DPICHANGED) {
        window->ChangeDpi(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
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
