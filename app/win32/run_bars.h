// The progress bar and the status bar a main window hands to a run, on the
// common controls: a progress bar of range 0 to 100, drawn in blocks or as
// one smooth bar, and a status bar of fixed-width panels whose last panel
// reaches the bar's end. They implement the engine's views. UI thread only.
#pragma once

#include <windows.h>

#include <chrono>
#include <span>
#include <string>
#include <vector>

#include "app/window_layout.h"
#include "engine/views.h"

namespace vorlan::win32 {

class Window;

class ProgressBar final : public ProgressBarView {
public:
    ProgressBar(Window& owner, const LayoutRect& place);
    ~ProgressBar() override;
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    void SetPosition(int position) override;
    void SetMaximum(int maximum) override;
    void SetSmooth(bool smooth) override;

    HWND Handle() const { return hwnd_; }
    // The position last set; the control shows it within 20 ms.
    int Position() const;
    bool Smooth() const;

private:
    void Move();
    static void CALLBACK OnFlushTimer(HWND hwnd, UINT, UINT_PTR, DWORD);

    HWND hwnd_;
    int position_ = 0;
    std::chrono::steady_clock::time_point lastMove_;
};

class StatusBar final : public StatusBarView {
public:
    // widths: one per panel, in the design's pixels, left to right; they
    // and the height follow the owner's dpi.
    StatusBar(Window& owner, const LayoutRect& place, std::span<const int> widths);

    // A panel past the last one is ignored.
    void SetPanelText(int panel, const std::string& text) override;
    void RepaintNow() override;

    void SetBackground(COLORREF colour);
    // Shown when the pointer rests on the panel; empty takes it away.
    void SetPanelTip(int panel, const std::string& tip);

    HWND Handle() const { return hwnd_; }
    int PanelCount() const { return static_cast<int>(edges_.size()); }
    std::string PanelText(int panel) const;
    // Right edges of the panels, as SB_GETPARTS gives them.
    std::vector<int> PanelEdges() const;

private:
    void SetParts();

    Window& owner_;
    HWND hwnd_;
    HWND tips_ = nullptr;
    int height_;
    std::vector<int> edges_;  // in the design's pixels
};

}  // namespace vorlan::win32
