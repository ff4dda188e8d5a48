// What the Win32 windows share: text in UTF-16, the classic faces as Windows
// maps them, the status operations' colours as COLORREFs, and one window
// class whose procedure hands each message to its window object. A window
// places its controls from the 96-dpi layout (app/window_layout.h) and
// scales every rectangle and face by its dpi / 96; it places them again
// when it moves to a screen of another dpi (WM_DPICHANGED). UI thread only.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "app/desktop_window.h"
#include "engine/views.h"

namespace vorlan::win32 {

std::wstring Widen(const std::string& utf8);
std::string Narrow(const std::wstring& text);

// The faces of the design, named as Windows maps them: "MS Sans Serif" is
// "Microsoft Sans Serif", "Times" is "Times New Roman", "Courier" is
// "Courier New".
inline constexpr const wchar_t* kSansFace = L"Microsoft Sans Serif";
inline constexpr const wchar_t* kSerifFace = L"Times New Roman";
inline constexpr const wchar_t* kFixedFace = L"Courier New";
// A face in the design's pixels (the character height at 96 dpi).
struct FontSpec {
    const wchar_t* face = kSansFace;
    int pixels = kFacePixels;
    bool bold = false;
};
// A face at a character height in the screen's pixels (a negative lfHeight).
// Made once per (face, pixels, bold) and kept until the process ends.
HFONT Font(const wchar_t* face, int pixels, bool bold = false);

// Top byte 0: red in the lowest byte, as COLORREF has it; top byte 0x80: the
// system colour with that number.
COLORREF ToColorRef(StatusColour colour);
// A solid brush per colour, kept until the process ends.
HBRUSH SolidBrush(COLORREF colour);

void SetText(HWND control, const std::string& text);
// Shows or hides a child control.
inline void ShowControl(HWND control, bool shown) {
    ::ShowWindow(control, shown ? SW_SHOW : SW_HIDE);
}
std::string TextOf(HWND control);

// A top-level window of the program. Subclasses create their controls after
// CreateFrame and answer messages in HandleMessage; a message they leave goes
// to DefWindowProc. An exception out of a handler is shown by the error
// display and the message loop goes on.
class Window {
public:
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND Handle() const { return hwnd_; }
    bool IsShown() const;
    // The window's dots per inch, 96 on a screen at 100 %.
    int Dpi() const { return dpi_; }
    // Design pixels (96 dpi) in this window's pixels.
    int Scaled(int designPixels) const;
    HFONT FontOf(const FontSpec& font) const;

    // A child control at its design place in the window's default face (or
    // the one given), placed again when the dpi changes.
    HWND CreateControl(const wchar_t* className, const std::wstring& text, DWORD style,
                       const LayoutRect& place, int id = 0, DWORD exStyle = 0);
    void SetControlFont(HWND control, const FontSpec& font);
    // Called after the controls were placed for a new dpi.
    void FollowDpi(std::function<void()> follow) { followers_.push_back(std::move(follow)); }

protected:
    Window() = default;
    // A hidden window whose client area is the design's client size, at the
    // design's place on the screen, with the given frame and default face.
    void CreateFrame(DWORD style, DWORD exStyle, LayoutPoint position, LayoutSize client,
                     HMENU menu = nullptr, FontSpec face = {});
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // What DesktopWindow asks, for the windows below.
    void ShowInFront();
    LayoutSize ClientPixels() const;
    // The window as the screen shows it, frame included, as a 24-bit BMP.
    bool SaveBitmap(const std::string& path) const;

private:
    struct Placed {
        HWND control;
        LayoutRect place;
        FontSpec font;
    };
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // Sizes the frame around the design's client area at this dpi, at the
    // given place on the screen or where it is.
    void FitFrame(const POINT* at);
    void PlaceControls();
    void ChangeDpi(int dpi, const RECT& suggested);

    HWND hwnd_ = nullptr;
    int dpi_ = 96;
    LayoutSize client_;
    SIZE frameSize_ = {};
    FontSpec face_;
    std::vector<Placed> placed_;
    std::vector<std::function<void()>> followers_;
};

// A window of the program as start-up and the behaviours see it: Interface
// is the window's controls interface (DesktopWindow itself for the Version
// list window).
template <class Interface>
class DesktopWindowOf : public Window, public Interface {
public:
    void ShowWindow() override { ShowInFront(); }
    void HideWindow() override { ::ShowWindow(Handle(), SW_HIDE); }
    bool IsWindowShown() const override { return IsShown(); }
    void SetTitle(const std::string& title) override { SetText(Handle(), title); }
    LayoutSize ClientSize() const override { return ClientPixels(); }
    bool SaveImage(const std::string& path) override { return SaveBitmap(path); }
};

// The error display: an error box captioned with the application title.
void ShowErrorBox(const std::string& message);

// The control ids of the program's windows.
enum ControlId : int {
    kButton1 = 101,
    kButton2,
    kLabel1,
    kImage1,
    kImage2,
    kComboBox1,
    kListBox1,
    kMenuItem = 201,  // S1 "&Change port" and SerialPort1 "Serial Port"
};

}  // namespace vorlan::win32
