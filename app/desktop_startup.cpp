#include "app/desktop_startup.h"

#include <cstdio>
#include <exception>

#include "app/build_version.h"
#include "app/window_titles.h"
#include "engine/status_reporting.h"
#include "platform/instance_lock.h"
#include "ports/engine_binding.h"
#include "ports/port_selection.h"
#include "ports/serial_driver.h"

namespace vorlan {

namespace {

void CreateWindows(DesktopToolkit& toolkit) {
    if (SelectsUpgradeWindow(BuildVersion()))
        toolkit.CreateUpgradeWindow();
    toolkit.CreateUpdaterWindow();
    toolkit.CreatePortSetupWindow();
    toolkit.CreateVersionListWindow();
}

void RunWindows(DesktopToolkit& toolkit) {
    try {
        CreateWindows(toolkit);
        toolkit.RunMessageLoop();
    } catch (const std::exception& error) {
        toolkit.ShowError(error.what());
    } catch (...) {
        toolkit.ShowError("");
    }
    toolkit.DestroyWindows();
}

}  // namespace

int RunDesktopProgram(DesktopToolkit& toolkit, const std::vector<std::string>& commandLine,
                      const std::string& buildVersion) {
    SetBuildVersion(buildVersion);
    SetCommandLine(commandLine);

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
    RunWindows(toolkit);
    SetDriverMessageSink(nullptr);
    return 0;
}

}  // namespace vorlan
