// What start-up, the main windows and the unattended hooks need of any of
// the four windows, whatever toolkit made it. UI thread only.
#pragma once

#include <string>

#include "app/window_layout.h"

namespace vorlan {

class DesktopWindow {
public:
    virtual ~DesktopWindow() = default;

    // Shows the window without waiting for it to close, in front.
    virtual void ShowWindow() = 0;
    virtual void HideWindow() = 0;
    virtual bool IsWindowShown() const = 0;
    virtual void SetTitle(const std::string& title) = 0;
    // The client area in the screen's pixels (the design's at 96 dpi).
    virtual LayoutSize ClientSize() const = 0;
    // Saves the window as the screen shows it, in the toolkit's image format
    // (DesktopToolkit::ImageExtension); false when it could not.
    virtual bool SaveImage(const std::string& path) = 0;
};

}  // namespace vorlan
