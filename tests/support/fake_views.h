// Fake windows for the engine and the status operations: each records what
// was shown so a test can check the user's view.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "engine/views.h"

namespace vorlan::test {

class FakeProgressBar : public ProgressBarView {
public:
    void SetPosition(int position) override;
    void SetMaximum(int maximum) override { maximum_ = maximum; }
    void SetSmooth(bool smooth) override { smooth_ = smooth; }

    int Position() const { return position_; }
    int Maximum() const { return maximum_; }
    bool Smooth() const { return smooth_; }
    const std::vector<int>& Positions() const { return positions_; }

private:
    int position_ = 0;
    int maximum_ = 100;
    bool smooth_ = false;
    std::vector<int> positions_;
};

class FakeStatusBar : public StatusBarView {
public:
    // panelCount: panels the bar has; writes past the last one are ignored
    // (but still recorded in the history).
    explicit FakeStatusBar(int panelCount = 5) : panelCount_(panelCount) {}

    void SetPanelText(int panel, const std::string& text) override;
    void RepaintNow() override { ++repaints_; }

    // Text of a panel, empty when never written.
    std::string Panel(int panel) const;
    // Every write in order, as (panel, text).
    const std::vector<std::pair<int, std::string>>& History() const { return history_; }
    // The texts written into one panel, in order.
    std::vector<std::string> PanelHistory(int panel) const;
    int Repaints() const { return repaints_; }

private:
    int panelCount_;
    std::map<int, std::string> panels_;
    std::vector<std::pair<int, std::string>> history_;
    int repaints_ = 0;
};

class FakeUpdaterWindow : public UpdaterWindowView {
public:
    StatusBarView& StatusBar() override { return statusBar; }
    void ShowResultLine(const std::string& text, StatusColour background,
                        StatusColour textColour) override;
    void SetStartButtonVisible(bool visible) override { startVisible = visible; }
    void SetStopButtonVisible(bool visible) override { stopVisible = visible; }
    void FocusStartButton() override;
    void EnableChangePortMenu() override { changePortEnabled = true; }
    void ShowIdentityLine(const std::string& text) override { identityLine = text; }
    void ShowReleaseLine(const std::string& text) override;
    void HideReleaseLine() override { releaseVisible = false; }

    FakeStatusBar statusBar;
    std::string resultText;
    StatusColour resultBackground = kColourButtonFace;
    StatusColour resultTextColour = kColourBlack;
    bool resultVisible = false;
    int resultWrites = 0;
    bool startVisible = true;
    bool stopVisible = false;
    bool startFocused = false;
    int focusCalls = 0;
    bool changePortEnabled = false;
    std::string identityLine;
    std::string releaseLine;
    bool releaseVisible = false;
};

class FakeUpgradeWindow : public UpgradeWindowView {
public:
    StatusBarView& StatusBar() override { return statusBar; }
    void SetStartButtonVisible(bool visible) override { startVisible = visible; }
    void SetStopButtonVisible(bool visible) override { stopVisible = visible; }
    void FocusStartButton() override { ++focusCalls; }

    FakeStatusBar statusBar;
    bool startVisible = true;
    bool stopVisible = false;
    int focusCalls = 0;
};

class FakeNotifier : public StatusRecordSink {
public:
    void SendStatusRecord(std::uint8_t code) override { codes.push_back(code); }
    std::vector<std::uint8_t> codes;
};

}  // namespace vorlan::test
