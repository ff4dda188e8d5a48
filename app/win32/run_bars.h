// The progress bar and the status bar a main window hands to a run, on the
// common controls: a progress bar of range 0 to 100, drawn in blocks or as
// one smooth bar, and a status bar of fixed-width panels whose last panel
// reaches the bar's end. They implement the engine's views. UI thread only.
#pragma once

#include <windows.h>

#include <chrono>
#include <initializer_list>
#include <string>
#include <vector>

#include "engine/views.h"

namespace vorlan::win32 {

class ProgressBar final : public ProgressBarView {
public:
    ProgressBar(HWND parent, int x, int y, int width, int height);
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
    // widths: one per panel, in pixels, left to right.
    StatusBar(HWND parent, int x, int y, int width, int height, std::initializer_list<int> widths);

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
    HWND hwnd_;
    HWND tips_ = nullptr;
    std::vector<int> edges_;
};

}  // namespace vorlan::win32
