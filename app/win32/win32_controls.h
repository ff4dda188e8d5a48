// What the Win32 windows share: text in UTF-16, the classic faces as Windows
// maps them, child controls made in one call, the status operations' colours
// as COLORREFs, and one window class whose procedure hands each message to
// its window object. UI thread only.
#pragma once

#include <windows.h>

#include <string>

#include "engine/views.h"

namespace vorlan::win32 {

std::wstring Widen(const std::string& utf8);
std::string Narrow(const std::wstring& text);

// The faces of the design, named as Windows maps them: "MS Sans Serif" is
// "Microsoft Sans Serif", "Times" is "Times New Roman", "Courier" is
// "Courier New". pixels: the character height (a negative lfHeight).
inline constexpr const wchar_t* kSansFace = L"Microsoft Sans Serif";
inline constexpr const wchar_t* kSerifFace = L"Times New Roman";
inline constexpr const wchar_t* kFixedFace = L"Courier New";
// Made once per (face, pixels, bold) and kept until the process ends.
HFONT Font(const wchar_t* face, int pixels, bool bold = false);

// Top byte 0: red in the lowest byte, as COLORREF has it; top byte 0x80: the
// system colour with that number.
COLORREF ToColorRef(StatusColour colour);
// A solid brush per colour, kept until the process ends.
HBRUSH SolidBrush(COLORREF colour);

// A child control at its design place, in the window's face.
HWND CreateControl(HWND parent, const wchar_t* className, const std::wstring& text, DWORD style,
                   int x, int y, int width, int height, int id = 0, DWORD exStyle = 0);

void SetText(HWND control, const std::string& text);
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

protected:
    Window() = default;
    // A window whose client area is clientWidth x clientHeight with the
    // given frame, at x, y on the screen, hidden.
    void CreateFrame(DWORD style, DWORD exStyle, int x, int y, int clientWidth, int clientHeight,
                     HMENU menu = nullptr);
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    HFONT face_ = nullptr;  // the window's default face, given to each control

private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    friend HWND CreateControl(HWND, const wchar_t*, const std::wstring&, DWORD, int, int, int, int,
                              int, DWORD);

    HWND hwnd_ = nullptr;
    SIZE clientSize_ = {};
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
