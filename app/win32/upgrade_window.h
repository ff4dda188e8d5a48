// The Upgrade window on the Win32 controls: one large START button that
// turns into STOP during a run, a smooth progress bar and a status bar of
// five panels whose step panel carries every step text and every result.
// What the controls do is app/main_windows.h's; this class creates them,
// forwards their events and implements the controls interface.
// UI thread only.
#pragma once

#include <memory>

#include "app/main_windows.h"
#include "app/win32/run_bars.h"
#include "app/win32/win32_controls.h"

namespace vorlan::win32 {

class UpgradeWindow final : public DesktopWindowOf<UpgradeWindowControls> {
public:
    // Registers itself with the status operations before anything else.
    // Throws what the notifier start and the settings store throw.
    UpgradeWindow();
    ~UpgradeWindow() override;

    // UpgradeWindowView
    vorlan::StatusBarView& StatusBar() override { return *statusBar1_; }
    void SetStartButtonVisible(bool visible) override;
    void SetStopButtonVisible(bool visible) override;
    void FocusStartButton() override;

    // UpgradeWindowControls
    ProgressBarView& ProgressBar() override { return *progressBar1_; }
    void SetStatusBarBackground(StatusColour colour) override;
    void SetResultTip(const std::string& tip) override;

    HWND Panel1() const { return panel1_; }
    HWND Button1() const { return button1_; }
    HWND Button2() const { return button2_; }
    win32::ProgressBar& ProgressBar1() const { return *progressBar1_; }
    win32::StatusBar& StatusBar1() const { return *statusBar1_; }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void CreateControls();

    UpgradeWindowBehaviour behaviour_;
    HWND panel1_ = nullptr;
    HWND button1_ = nullptr;
    HWND button2_ = nullptr;
    std::unique_ptr<win32::ProgressBar> progressBar1_;
    std::unique_ptr<win32::StatusBar> statusBar1_;
};

}  // namespace vorlan::win32
