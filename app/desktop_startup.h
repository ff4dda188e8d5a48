// The desktop program's life-cycle, written once for every toolkit: the
// single-instance lock, the main window chosen by the build version string,
// the windows made in their fixed order and owned until the message loop
// has ended, the rule that the first window made is the main one, the
// teardown in the reverse order, the unattended hooks, and the error display
// for whatever ends start-up. The toolkit makes the windows, the boxes and
// the loop; this unit says when.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/desktop_window.h"
#include "engine/pause.h"

namespace vorlan {

class DesktopToolkit {
public:
    virtual ~DesktopToolkit() = default;

    // The pause of the engine's runs: waits on the port, handles the events.
    virtual Pause& RunPause() = 0;

    // A box with only OK and no icon, above every other window, owned by no
    // window; returns when dismissed.
    virtual void ShowAlreadyInProgress(const std::string& caption) = 0;
    // The error display: an error box captioned with the application title.
    virtual void ShowError(const std::string& message) = 0;
    // The serial driver's boxes ("Unable to configure the serial port").
    virtual void ShowDriverMessage(const std::string& text, const std::string& caption) = 0;

    // Each makes its window, hidden, and may throw what the window's
    // construction throws.
    virtual std::unique_ptr<DesktopWindow> MakeUpgradeWindow() = 0;
    virtual std::unique_ptr<DesktopWindow> MakeUpdaterWindow() = 0;
    virtual std::unique_ptr<DesktopWindow> MakePortSetupWindow() = 0;
    virtual std::unique_ptr<DesktopWindow> MakeVersionListWindow() = 0;

    // Handles events until EndMessageLoop has been called and the handler
    // that called it (a run, perhaps) has returned.
    virtual void RunMessageLoop() = 0;
    virtual void EndMessageLoop() = 0;

    // For the unattended hooks. A timer calls tick after ms, once or every
    // ms, while the message loop runs; the toolkit drops its timers when it
    // is destroyed.
    virtual void StartTimer(int ms, bool repeat, std::function<void()> tick) = 0;
    // Closes each message box of the program on screen with OK; returns
    // their (caption, text).
    virtual std::vector<std::pair<std::string, std::string>> DismissMessageBoxes() = 0;
    // Lets the windows paint what they were just given.
    virtual void SettleWindows() = 0;
    // ".png", ".bmp": what DesktopWindow::SaveImage writes.
    virtual std::string ImageExtension() const = 0;
};

// A toolkit whose four window classes are made with no arguments.
template <class Upgrade, class Updater, class PortSetup, class VersionList>
class DesktopToolkitOf : public DesktopToolkit {
public:
    std::unique_ptr<DesktopWindow> MakeUpgradeWindow() override {
        return std::make_unique<Upgrade>();
    }
    std::unique_ptr<DesktopWindow> MakeUpdaterWindow() override {
        return std::make_unique<Updater>();
    }
    std::unique_ptr<DesktopWindow> MakePortSetupWindow() override {
        return std::make_unique<PortSetup>();
    }
    std::unique_ptr<DesktopWindow> MakeVersionListWindow() override {
        return std::make_unique<VersionList>();
    }
};

// The main windows a build has, in the order they are made and reach the
// status operations: the Upgrade window first when the build version string
// selects it (it is then the main window), then the Updater window.
enum class MainWindowKind { kUpgrade, kUpdater };
std::vector<MainWindowKind> MainWindowsOf(const std::string& buildVersion);

// Runs the whole program and returns its exit code, 0 on every path.
// commandLine: program name first ("\P" as the first argument starts the
// notifier). buildVersion: "HNX" or "BRQ" in it selects the Upgrade window.
// Blocks until the main window closes.
int RunDesktopProgram(DesktopToolkit& toolkit, const std::vector<std::string>& commandLine,
                      const std::string& buildVersion);

// Ends the running program's message loop (closing the main window does);
// nothing when no program runs.
void EndDesktopMessageLoop();

}  // namespace vorlan
