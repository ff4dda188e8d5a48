// What the two main windows do, written once for every toolkit: the
// constructor's steps, START and STOP with the double-click guard, the menu
// items, the product label's double-click and the close handler with the
// port's restore and store. A toolkit's window creates its controls,
// implements the controls interface below and forwards its events here.
//
// UI thread only. A run blocks in the engine's pauses, which handle the
// window's events nested inside them.
#pragma once

#include <string>

#include "app/desktop_window.h"
#include "app/logo.h"
#include "app/start_click_guard.h"
#include "engine/views.h"

namespace vorlan {

// What the behaviour needs of the Upgrade window beyond the status
// operations' view.
class UpgradeWindowControls : public UpgradeWindowView, public DesktopWindow {
public:
    virtual ProgressBarView& ProgressBar() = 0;
    virtual void SetStatusBarBackground(StatusColour colour) = 0;
    // The tooltip of the step panel, which shows the result: why "Invalid
    // Port Com", or the blocks a run left out; empty takes it away.
    virtual void SetResultTip(const std::string& tip) = 0;
};

// What the behaviour needs of the Updater window beyond the status
// operations' view.
class UpdaterWindowControls : public UpdaterWindowView, public DesktopWindow {
public:
    virtual ProgressBarView& ProgressBar() = 0;
    virtual void SetStatusBarBackground(StatusColour colour) = 0;
    virtual void ShowLogo(LogoChoice logo) = 0;
    virtual void SetProductLabel(const std::string& text) = 0;  // Label1
    virtual std::string ProductLabel() const = 0;
    // Hides the result line (Label2) and the identification line (Label3),
    // painting the window where they were at once.
    virtual void HideResultLines() = 0;
    // The tooltip of the result line: why "Invalid Port Com", or the blocks
    // a run left out; empty takes it away.
    virtual void SetResultTip(const std::string& tip) = 0;
};

class UpgradeWindowBehaviour {
public:
    // Registers the controls as the Upgrade window, which turns Upgrade mode
    // on, and itself in Windows(); the destructor takes both back. doubleClickMs: the toolkit's
    // double-click interval.
    UpgradeWindowBehaviour(UpgradeWindowControls& controls,
                           StartClickGuard::IntervalSource doubleClickMs);
    ~UpgradeWindowBehaviour();
    UpgradeWindowBehaviour(const UpgradeWindowBehaviour&) = delete;
    UpgradeWindowBehaviour& operator=(const UpgradeWindowBehaviour&) = delete;

    // The constructor's steps once the controls exist: notifier, title,
    // application title, port from "com", image table, port panel. Throws
    // what the notifier start and the settings store throw, after taking the
    // registration back.
    void Construct();

    void Button1Click();      // START: one run, search then program
    void Button2Click();      // STOP: START back at once, stop request raised;
                              // ignored as the twin of a double-click on START
    void SerialPort1Click();  // "Serial Port": shows Port setup
    void FormClose();         // closes the port, stores "com"
    // The window's frame was closed: FormClose, and when this is the main
    // window the message loop ends (once a run in progress has returned).
    void Closed();

    DesktopWindow& Window() { return controls_; }

private:
    UpgradeWindowControls& controls_;
    StartClickGuard startClick_;
};

class UpdaterWindowBehaviour {
public:
    // Registers the controls as the Updater window; the destructor takes them
    // back.
    UpdaterWindowBehaviour(UpdaterWindowControls& controls,
                           StartClickGuard::IntervalSource doubleClickMs);
    ~UpdaterWindowBehaviour();
    UpdaterWindowBehaviour(const UpdaterWindowBehaviour&) = delete;
    UpdaterWindowBehaviour& operator=(const UpdaterWindowBehaviour&) = delete;

    // The constructor's steps once the controls exist: notifier, logo,
    // title, application title, product label, port from "com", image
    // table, port panel, and the grey status bar (the Upgrade window's in
    // Upgrade mode). Throws as UpgradeWindowBehaviour::Construct does.
    void Construct();

    void Button1Click();    // "&Update": one run, search then program
    void Button2Click();    // "&Stop": hides itself, raises the stop request;
                            // ignored as the twin of a double-click on "&Update"
    void S1Click();         // "&Change port": hides the result lines, shows Port setup
    void Label1DblClick();  // shows the Version list window
    void FormClose();       // closes the port, stores "com"
    void Closed();          // as UpgradeWindowBehaviour::Closed

    DesktopWindow& Window() { return controls_; }

private:
    UpdaterWindowControls& controls_;
    StartClickGuard startClick_;
};

}  // namespace vorlan
