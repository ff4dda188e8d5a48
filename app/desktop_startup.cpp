#include "app/desktop_startup.h"

#include <cstdio>
#include <exception>

#include "app/build_version.h"
#include "app/unattended_hooks.h"
#include "app/window_references.h"
#include "app/window_titles.h"
#include "engine/status_reporting.h"
#include "platform/instance_lock.h"
#include "ports/engine_binding.h"
#include "ports/port_selection.h"
#include "ports/serial_driver.h"

namespace vorlan {

namespace {

DesktopToolkit* gRunningToolkit = nullptr;

// The windows of one start, destroyed in the reverse order of creation once
// the message loop (and any run inside it) has returned; the references go
// first, so no window reaches one that is already gone.
class OwnedWindows {
public:
    ~OwnedWindows() {
        Windows().main = nullptr;
        Windows().portSetup = nullptr;
        Windows().versionList = nullptr;
        while (!windows_.empty()) windows_.pop_back();
    }

    DesktopWindow* Add(std::unique_ptr<DesktopWindow> window) {
        windows_.push_back(std::move(window));
        // The first window made is the main window.
        if (Windows().main == nullptr)
            Windows().main = windows_.back().get();
        return windows_.back().get();
    }

private:
    std::vector<std::unique_ptr<DesktopWindow>> windows_;
};

void RunWindows(DesktopToolkit& toolkit) {
    try {
        OwnedWindows windows;
        for (const MainWindowKind kind : MainWindowsOf(BuildVersion())) {
            windows.Add(kind == MainWindowKind::kUpgrade ? toolkit.MakeUpgradeWindow()
                                                         : toolkit.MakeUpdaterWindow());
        }
        Windows().portSetup = windows.Add(toolkit.MakePortSetupWindow());
        Windows().versionList = windows.Add(toolkit.MakeVersionListWindow());
        Windows().main->ShowWindow();
        ScheduleScreenshots(toolkit);
        toolkit.RunMessageLoop();
    } catch (const std::exception& error) {
        toolkit.ShowError(error.what());
    } catch (...) {
        toolkit.ShowError("");
    }
}

}  // namespace

std::vector<MainWindowKind> MainWindowsOf(const std::string& buildVersion) {
    if (SelectsUpgradeWindow(buildVersion))
        return {MainWindowKind::kUpgrade, MainWindowKind::kUpdater};
    return {MainWindowKind::kUpdater};
}

int RunDesktopProgram(DesktopToolkit& toolkit, const std::vector<std::string>& commandLine,
                      const std::string& buildVersion) {
    SetBuildVersion(buildVersion);
    SetCommandLine(commandLine);
    InstallDismissHook(toolkit);

    InstanceLock lock;
    std::string reason;
    switch (lock.Acquire(&reason)) {
        case LockResult::HeldElsewhere:
            SetApplicationTitle("");
            toolkit.ShowAlreadyInProgress(UpdaterTitle());
            return 0;
        case LockResult::Unavailable:
            // Better a second copy than no copy at all.
            std::fprintf(stderr, "vorlan: no single-instance lock (%s)\n", reason.c_str());
            break;
        case LockResult::Acquired:
            break;
    }

    SelectedSerialPort port;
    const EngineBinding binding(toolkit.RunPause(), port);
    SetDriverMessageSink([&toolkit](const std::string& text, const std::string& caption) {
        toolkit.ShowDriverMessage(text, caption);
    });
    gRunningToolkit = &toolkit;
    RunWindows(toolkit);
    gRunningToolkit = nullptr;
    SetDriverMessageSink(nullptr);
    return 0;
}

void EndDesktopMessageLoop() {
    if (gRunningToolkit != nullptr)
        gRunningToolkit->EndMessageLoop();
}

}  // namespace vorlan
