// The Version list window on the Win32 controls: the firmware images the
// program carries, one line per image in a list box with a fixed-pitch face
// so the columns line up. Created once at start-up, shown without being
// modal; each showing rebuilds the list from the image table.
// UI thread only.
#pragma once

#include "app/win32/win32_controls.h"

namespace vorlan::win32 {

class VersionListWindow final : public DesktopWindowOf<DesktopWindow> {
public:
    VersionListWindow();

    // Appends the two heading lines and one line per listed image.
    void FillVersionList();
    void FormShow();
    void Button1Click();

    HWND ListBox1() const { return listBox1_; }
    HWND Button1() const { return button1_; }  // "&Ok"

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    HWND listBox1_ = nullptr;
    HWND button1_ = nullptr;
};

}  // namespace vorlan::win32
