// The windows of the desktop program as vorlan-flash shows them: every text
// that reaches a status bar panel, the result line or the identification
// lines becomes a line on the terminal console; the progress bar drives the
// console's bar. Buttons and focus have nothing to show. Not owned: the
// console outlives the views.
#pragma once

#include <string>

#include "engine/views.h"
#include "terminal/terminal_console.h"

namespace vorlan::flash {

class TerminalProgressBar final : public ProgressBarView {
public:
    explicit TerminalProgressBar(TerminalConsole& console) : console_(console) {}
    void SetPosition(int position) override { console_.SetBarPosition(position); }
    void SetMaximum(int maximum) override { console_.SetBarMaximum(maximum); }
    void SetSmooth(bool) override {}

private:
    TerminalConsole& console_;
};

// Every panel text (the steps, in Upgrade mode the results written there, the
// device and image panels) is printed as it is. The port panel is left out:
// the first line of the output names the port.
class TerminalStatusBar final : public StatusBarView {
public:
    explicit TerminalStatusBar(TerminalConsole& console) : console_(console) {}
    void SetPanelText(int panel, const std::string& text) override;
    void RepaintNow() override {}

private:
    TerminalConsole& console_;
};

class TerminalUpdaterWindow final : public UpdaterWindowView {
public:
    explicit TerminalUpdaterWindow(TerminalConsole& console)
        : console_(console), statusBar_(console) {}
    StatusBarView& StatusBar() override { return statusBar_; }
    void ShowResultLine(const std::string& text, StatusColour, StatusColour) override {
        console_.PrintLine(text);
    }
    void SetStartButtonVisible(bool) override {}
    void SetStopButtonVisible(bool) override {}
    void FocusStartButton() override {}
    void EnableChangePortMenu() override {}
    void ShowIdentityLine(const std::string& text) override { console_.PrintLine(text); }
    void ShowReleaseLine(const std::string& text) override { console_.PrintLine(text); }
    void HideReleaseLine() override {}

private:
    TerminalConsole& console_;
    TerminalStatusBar statusBar_;
};

class TerminalUpgradeWindow final : public UpgradeWindowView {
public:
    explicit TerminalUpgradeWindow(TerminalConsole& console) : statusBar_(console) {}
    StatusBarView& StatusBar() override { return statusBar_; }
    void SetStartButtonVisible(bool) override {}
    void SetStopButtonVisible(bool) override {}
    void FocusStartButton() override {}

private:
    TerminalStatusBar statusBar_;
};

}  // namespace vorlan::flash
