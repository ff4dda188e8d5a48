// The Updater window on the Win32 controls: product label, logo, a coloured
// result line, one start button that turns into a stop button during a run,
// a progress bar and a status bar of four panels. What the controls do is
// app/main_windows.h's; this class creates them, draws the logos and the
// result line's colours, forwards the events and implements the controls
// interface. UI thread only.
#pragma once

#include <memory>

#include "app/main_windows.h"
#include "app/win32/run_bars.h"
#include "app/win32/win32_controls.h"

namespace vorlan::win32 {

class UpdaterWindow final : public DesktopWindowOf<UpdaterWindowControls> {
public:
    // Registers itself with the status operations before anything else.
    // Throws what the notifier start and the settings store throw.
    UpdaterWindow();
    ~UpdaterWindow() override;

    // UpdaterWindowView
    vorlan::StatusBarView& StatusBar() override { return *statusBar1_; }
    void ShowResultLine(const std::string& text, StatusColour background,
                        StatusColour textColour) override;
    void SetStartButtonVisible(bool visible) override { ShowControl(button1_, visible); }
    void SetStopButtonVisible(bool visible) override { ShowControl(button2_, visible); }
    void FocusStartButton() override { SetFocus(button1_); }
    void EnableChangePortMenu() override;
    void ShowIdentityLine(const std::string& text) override { ShowPlainLine(label3_, text); }
    void ShowReleaseLine(const std::string& text) override { ShowPlainLine(label4_, text); }
    void HideReleaseLine() override { ShowControl(label4_, false); }

    // UpdaterWindowControls
    ProgressBarView& ProgressBar() override { return *progressBar1_; }
    void SetStatusBarBackground(StatusColour colour) override {
        statusBar1_->SetBackground(ToColorRef(colour));
    }
    void ShowLogo(LogoChoice logo) override;
    void SetProductLabel(const std::string& text) override { SetText(label1_, text); }
    std::string ProductLabel() const override { return TextOf(label1_); }
    void HideResultLines() override;
    void SetResultTip(const std::string& tip) override;

    HWND Button1() const { return button1_; }
    HWND Button2() const { return button2_; }
    HWND Image1() const { return image1_; }
    HWND Image2() const { return image2_; }
    HWND Label1() const { return label1_; }
    HWND Label2() const { return label2_; }
    HWND Label3() const { return label3_; }
    HWND Label4() const { return label4_; }
    win32::ProgressBar& ProgressBar1() const { return *progressBar1_; }
    win32::StatusBar& StatusBar1() const { return *statusBar1_; }
    // The result line's colours as last set.
    COLORREF ResultBackground() const { return resultBackground_; }
    COLORREF ResultTextColour() const { return resultText_; }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void CreateControls();
    void ShowPlainLine(HWND line, const std::string& text);

    UpdaterWindowBehaviour behaviour_;
    HWND button1_ = nullptr;
    HWND button2_ = nullptr;
    HWND image1_ = nullptr;
    HWND image2_ = nullptr;
    HWND bevel1_ = nullptr;
    HWND label1_ = nullptr;
    HWND bevel2_ = nullptr;
    HWND label3_ = nullptr;
    HWND label4_ = nullptr;
    HWND label2_ = nullptr;
    HWND tips_ = nullptr;
    std::unique_ptr<win32::ProgressBar> progressBar1_;
    std::unique_ptr<win32::StatusBar> statusBar1_;
    COLORREF resultBackground_ = 0;
    COLORREF resultText_ = 0;
};

}  // namespace vorlan::win32
