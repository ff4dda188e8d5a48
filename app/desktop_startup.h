// The desktop program's start, written once for every toolkit: the
// single-instance lock, the main window chosen by the build version string,
// the windows created in their fixed order, the message loop, and the error
// display for whatever ends start-up. The toolkit makes the windows and the
// boxes; this unit says when.
#pragma once

#include <string>
#include <vector>

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

    // Each may throw what the window's construction throws. The first one
    // created is the main window.
    virtual void CreateUpgradeWindow() = 0;
    virtual void CreateUpdaterWindow() = 0;
    virtual void CreatePortSetupWindow() = 0;
    virtual void CreateVersionListWindow() = 0;
    // Shows the main window and handles events until it has closed (and a
    // run inside it has returned).
    virtual void RunMessageLoop() = 0;
    // Destroys the windows made, in the reverse order of creation.
    virtual void DestroyWindows() = 0;
};

// Runs the whole program and returns its exit code, 0 on every path.
// commandLine: program name first ("\P" as the first argument starts the
// notifier). buildVersion: "HNX" or "BRQ" in it selects the Upgrade window.
// Blocks until the main window closes.
int RunDesktopProgram(DesktopToolkit& toolkit, const std::vector<std::string>& commandLine,
                      const std::string& buildVersion);

}  // namespace vorlan
