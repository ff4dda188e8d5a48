#include "app/main_windows.h"

#include <string>

#include "app/build_version.h"
#include "app/desktop_startup.h"
#include "app/desktop_trace.h"
#include "app/port_problem_display.h"
#include "app/window_references.h"
#include "app/window_titles.h"
#include "catalogue/image_table.h"
#include "engine/link_state.h"
#include "engine/status_reporting.h"
#include "engine/update_run.h"
#include "ports/port_selection.h"
#include "ports/port_setting.h"
#include "ports/status_notifier.h"

namespace vorlan {

namespace {

void StartNotifier() {
    StartStatusNotifier(CommandLine(), CurrentNotifierPorts().local,
                        CurrentNotifierPorts().destination);
}

// The note beside a run's result: why the port cannot be used, or, since
// "Program OK" alone would hide it, that the board asked to keep part of its
// memory as it was.
std::string ResultTip(const RunResult& result) {
    if (result.kind == RunEnd::InvalidPort)
        return result.portProblem;
    if (result.Succeeded() && result.facts.skippedBlocks > 0)
        return std::to_string(result.facts.skippedBlocks) + " blocks left out as the board asks";
    return "";
}

// A run from a start button; the guard learns of the click first, so that
// the stop button that takes its place can tell a double-click's twin.
void RunFromStartButton(StartClickGuard& guard, ProgressBarView& progress, StatusBarView& status) {
    if (IsRunActive()) {
        RunUpdate(progress, status);  // refused: one run at a time
        return;
    }
    guard.RunStarting();
    // Last run's note goes; a port that still cannot be opened brings its
    // reason back.
    ShowResultTip("");
    const RunResult result = RunUpdate(progress, status);
    const std::string tip = ResultTip(result);
    const std::string trace = KeepDesktopRunTrace(result);
    ShowResultTip(tip.empty() || trace.empty() ? tip + trace : tip + "\n" + trace);
}

void ShowWindowOf(DesktopWindow* window) {
    if (window != nullptr)
        window->ShowWindow();
}

void CloseWindow(DesktopWindow& window) {
    if (Windows().main == &window)
        EndDesktopMessageLoop();
}

}  // namespace

UpgradeWindowBehaviour::UpgradeWindowBehaviour(UpgradeWindowControls& controls,
                                               StartClickGuard::IntervalSource doubleClickMs)
    : controls_(controls), startClick_(doubleClickMs) {
    RegisterUpgradeWindow(&controls_);
    Windows().upgrade = this;
}

UpgradeWindowBehaviour::~UpgradeWindowBehaviour() {
    if (RegisteredUpgradeWindow() == &controls_)
        RegisterUpgradeWindow(nullptr);
    if (Windows().upgrade == this)
        Windows().upgrade = nullptr;
}

void UpgradeWindowBehaviour::Construct() {
    try {
        StartNotifier();
        controls_.SetTitle(UpgradeTitle());
        SetApplicationTitle(BuildVersion());
        RestorePortFromSetting();
        InstallPortProblemDisplay();
        BuildImageTable();
        ShowPortOnStatusBar(controls_.StatusBar());
    } catch (...) {
        RegisterUpgradeWindow(nullptr);
        throw;
    }
}

void UpgradeWindowBehaviour::Button1Click() {
    RunFromStartButton(startClick_, controls_.ProgressBar(), controls_.StatusBar());
}

void UpgradeWindowBehaviour::Button2Click() {
    if (startClick_.IsSecondClickOfStart())
        return;
    ShowIdleButtons();
    RequestStop();
}

void UpgradeWindowBehaviour::SerialPort1Click() {
    ShowWindowOf(Windows().portSetup);
}

void UpgradeWindowBehaviour::FormClose() {
    StorePortOnClose();
}

void UpgradeWindowBehaviour::Closed() {
    FormClose();
    CloseWindow(controls_);
}

UpdaterWindowBehaviour::UpdaterWindowBehaviour(UpdaterWindowControls& controls,
                                               StartClickGuard::IntervalSource doubleClickMs)
    : controls_(controls), startClick_(doubleClickMs) {
    RegisterUpdaterWindow(&controls_);
    Windows().updater = this;
}

UpdaterWindowBehaviour::~UpdaterWindowBehaviour() {
    if (RegisteredUpdaterWindow() == &controls_)
        RegisterUpdaterWindow(nullptr);
    if (Windows().updater == this)
        Windows().updater = nullptr;
}

void UpdaterWindowBehaviour::Construct() {
    try {
        StartNotifier();
        controls_.ShowLogo(ChooseLogo(BuildVersion()));
        controls_.SetTitle(UpdaterTitle());
        SetApplicationTitle(BuildVersion());
        controls_.SetProductLabel(BuildVersion());
        RestorePortFromSetting();
        InstallPortProblemDisplay();
        BuildImageTable();
        ShowPortOnStatusBar(controls_.StatusBar());
        // In Upgrade mode this window stays hidden and the grey goes to the
        // Upgrade window's bar, which is the one the user sees.
        if (auto* upgrade = dynamic_cast<UpgradeWindowControls*>(RegisteredUpgradeWindow())) {
            upgrade->SetStatusBarBackground(kColourGrey);
        } else {
            controls_.SetStatusBarBackground(kColourGrey);
        }
    } catch (...) {
        RegisterUpdaterWindow(nullptr);
        throw;
    }
}

void UpdaterWindowBehaviour::Button1Click() {
    RunFromStartButton(startClick_, controls_.ProgressBar(), controls_.StatusBar());
}

void UpdaterWindowBehaviour::Button2Click() {
    if (startClick_.IsSecondClickOfStart())
        return;
    controls_.SetStopButtonVisible(false);
    RequestStop();
}

void UpdaterWindowBehaviour::S1Click() {
    controls_.HideResultLines();
    ShowWindowOf(Windows().portSetup);
}

void UpdaterWindowBehaviour::Label1DblClick() {
    if (DesktopWindow* versionList = Windows().versionList) {
        versionList->SetTitle(VersionListTitle(controls_.ProductLabel()));
        versionList->ShowWindow();
    }
}

void UpdaterWindowBehaviour::FormClose() {
    StorePortOnClose();
}

void UpdaterWindowBehaviour::Closed() {
    FormClose();
    CloseWindow(controls_);
}

}  // namespace vorlan
