// A toolkit with no screen for the desktop program's life-cycle: windows that
// record what start-up and the behaviours did to them, main windows with
// their real behaviour on fake controls, and a message loop that runs what
// the test scripted. Every made and destroyed window is logged in order.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/desktop_startup.h"
#include "app/main_windows.h"
#include "app/port_setup_rules.h"
#include "tests/support/fake_views.h"
#include "tests/support/virtual_clock.h"

namespace vorlan::test {

// What a window records of the DesktopWindow calls.
struct FakeWindowState {
    bool shown = false;
    std::string title;
    LayoutSize client;
    std::vector<std::string> savedImages;
};

template <class Interface>
class FakeWindowOf : public Interface {
public:
    void ShowWindow() override { window.shown = true; }
    void HideWindow() override { window.shown = false; }
    bool IsWindowShown() const override { return window.shown; }
    void SetTitle(const std::string& title) override { window.title = title; }
    LayoutSize ClientSize() const override { return window.client; }
    bool SaveImage(const std::string& path) override {
        window.savedImages.push_back(path);
        return true;
    }

    FakeWindowState window;
};

using FakeDesktopWindow = FakeWindowOf<DesktopWindow>;

class FakeUpgradeControls : public FakeWindowOf<UpgradeWindowControls> {
public:
    StatusBarView& StatusBar() override { return view.statusBar; }
    void SetStartButtonVisible(bool visible) override { view.SetStartButtonVisible(visible); }
    void SetStopButtonVisible(bool visible) override { view.SetStopButtonVisible(visible); }
    void FocusStartButton() override { view.FocusStartButton(); }
    ProgressBarView& ProgressBar() override { return progress; }
    void SetStatusBarBackground(StatusColour colour) override { statusBarBackground = colour; }
    void SetResultTip(const std::string& tip) override { resultTip = tip; }

    FakeUpgradeWindow view;
    FakeProgressBar progress;
    StatusColour statusBarBackground = kColourButtonFace;
    std::string resultTip;
};

class FakeUpdaterControls : public FakeWindowOf<UpdaterWindowControls> {
public:
    StatusBarView& StatusBar() override { return view.statusBar; }
    void ShowResultLine(const std::string& text, StatusColour background,
                        StatusColour textColour) override {
        view.ShowResultLine(text, background, textColour);
    }
    void SetStartButtonVisible(bool visible) override { view.SetStartButtonVisible(visible); }
    void SetStopButtonVisible(bool visible) override { view.SetStopButtonVisible(visible); }
    void FocusStartButton() override { view.FocusStartButton(); }
    void EnableChangePortMenu() override { view.EnableChangePortMenu(); }
    void ShowIdentityLine(const std::string& text) override { view.ShowIdentityLine(text); }
    void ShowReleaseLine(const std::string& text) override { view.ShowReleaseLine(text); }
    void HideReleaseLine() override { view.HideReleaseLine(); }
    ProgressBarView& ProgressBar() override { return progress; }
    void SetStatusBarBackground(StatusColour colour) override { statusBarBackground = colour; }
    void ShowLogo(LogoChoice choice) override { logo = choice; }
    void SetProductLabel(const std::string& text) override { productLabel = text; }
    std::string ProductLabel() const override { return productLabel; }
    void HideResultLines() override { view.resultVisible = false; }
    void SetResultTip(const std::string& tip) override { resultTip = tip; }

    FakeUpdaterWindow view;
    FakeProgressBar progress;
    StatusColour statusBarBackground = kColourButtonFace;
    LogoChoice logo = LogoChoice::kChip;
    std::string productLabel;
    std::string resultTip;
};

class FakePortSetupControls : public FakeWindowOf<PortSetupControls> {
public:
    void SetEntries(const std::vector<std::string>& friendlyNames) override {
        entries = friendlyNames;
    }
    void SelectEntry(std::int16_t position) override {
        selected = position < static_cast<int>(entries.size()) ? position : -1;
    }
    std::int16_t SelectedEntry() const override { return selected; }

    std::vector<std::string> entries;
    std::int16_t selected = -1;
};

class FakeToolkit : public DesktopToolkit {
public:
    Pause& RunPause() override { return clock; }
    void ShowAlreadyInProgress(const std::string& caption) override { boxes.push_back(caption); }
    void ShowError(const std::string& message) override { errors.push_back(message); }
    void ShowDriverMessage(const std::string& text, const std::string&) override {
        boxes.push_back(text);
    }

    std::unique_ptr<DesktopWindow> MakeUpgradeWindow() override;
    std::unique_ptr<DesktopWindow> MakeUpdaterWindow() override;
    std::unique_ptr<DesktopWindow> MakePortSetupWindow() override;
    std::unique_ptr<DesktopWindow> MakeVersionListWindow() override;

    // Runs the timers due, in the order of their time, then inLoop (once),
    // until EndMessageLoop; a loop with nothing left to run ends itself.
    void RunMessageLoop() override;
    void EndMessageLoop() override { loopEnded = true; }
    void StartTimer(int ms, bool repeat, std::function<void()> tick) override;
    std::vector<std::pair<std::string, std::string>> DismissMessageBoxes() override;
    void SettleWindows() override {}
    std::string ImageExtension() const override { return ".img"; }

    // "made upgrade", "destroyed port setup", ... in order.
    std::vector<std::string> log;
    // Thrown from the maker of the window with this name.
    std::string failingWindow;
    std::function<void()> inLoop;
    std::vector<std::pair<std::string, std::string>> openBoxes;
    std::vector<std::string> boxes;
    std::vector<std::string> errors;
    bool loopEnded = false;
    VirtualClock clock;
    // The main windows made, while they exist.
    FakeUpgradeControls* upgrade = nullptr;
    FakeUpdaterControls* updater = nullptr;

private:
    struct Timer {
        int ms;
        bool repeat;
        std::function<void()> tick;
    };
    std::vector<Timer> timers_;
};

}  // namespace vorlan::test
