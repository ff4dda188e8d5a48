#include "engine/status_reporting.h"

namespace vorlan {

int PortPanelIndex = 0;
int StepPanelIndex = 1;
int DevicePanelIndex = kDevicePanel;
int ImagePanelIndex = 3;

namespace {

struct StatusState {
    UpdaterWindowView* updater = nullptr;
    UpgradeWindowView* upgrade = nullptr;
    StatusRecordSink* notifier = nullptr;
};

StatusState gStatus;

}  // namespace

void RegisterUpdaterWindow(UpdaterWindowView* window) {
    gStatus.updater = window;
}
void RegisterUpgradeWindow(UpgradeWindowView* window) {
    gStatus.upgrade = window;
    // The Upgrade window has no device panel: its third panel shows the step.
    DevicePanelIndex = window != nullptr ? kNoPanel : kDevicePanel;
}
UpdaterWindowView* RegisteredUpdaterWindow() {
    return gStatus.updater;
}
UpgradeWindowView* RegisteredUpgradeWindow() {
    return gStatus.upgrade;
}
bool IsUpgradeMode() {
    return gStatus.upgrade != nullptr;
}
bool SelectsUpgradeWindow(const std::string& buildVersion) {
    return buildVersion.find("HNX") != std::string::npos ||
           buildVersion.find("BRQ") != std::string::npos;
}

void RegisterStatusNotifier(StatusRecordSink* notifier) {
    gStatus.notifier = notifier;
}
StatusRecordSink* StatusNotifier() {
    return gStatus.notifier;
}

void SetPanel(StatusBarView& bar, int panel, const std::string& text) {
    if (panel >= 0)
        bar.SetPanelText(panel, text);
}

void ReportResult(const std::string& text, StatusColour colour, int code) {
    // The supervising program hears of the result before the window shows it.
    if (StatusRecordSink* notifier = StatusNotifier()) {
        notifier->SendStatusRecord(static_cast<std::uint8_t>(code & 0xFF));
    }
    if (UpgradeWindowView* upgrade = RegisteredUpgradeWindow()) {
        SetPanel(upgrade->StatusBar(), StepPanelIndex, text);
        return;
    }
    UpdaterWindowView* updater = RegisteredUpdaterWindow();
    if (updater == nullptr)
        return;
    updater->ShowResultLine(text, colour, kColourWhite);
    updater->EnableChangePortMenu();
    updater->SetStopButtonVisible(false);
    updater->SetStartButtonVisible(true);
    updater->FocusStartButton();
}

void ReportStatus(const std::string& text, StatusColour colour) {
    if (UpgradeWindowView* upgrade = RegisteredUpgradeWindow()) {
        SetPanel(upgrade->StatusBar(), StepPanelIndex, text);
        return;
    }
    if (UpdaterWindowView* updater = RegisteredUpdaterWindow()) {
        updater->ShowResultLine(text, colour, kColourBlack);
    }
}

void ShowBusyButtons() {
    if (UpgradeWindowView* upgrade = RegisteredUpgradeWindow()) {
        upgrade->SetStopButtonVisible(true);
        upgrade->SetStartButtonVisible(false);
    } else if (UpdaterWindowView* updater = RegisteredUpdaterWindow()) {
        updater->SetStopButtonVisible(true);
        updater->SetStartButtonVisible(false);
    }
}

void ShowIdleButtons() {
    if (UpgradeWindowView* upgrade = RegisteredUpgradeWindow()) {
        upgrade->SetStartButtonVisible(true);
        upgrade->SetStopButtonVisible(false);
    } else if (UpdaterWindowView* updater = RegisteredUpdaterWindow()) {
        updater->SetStartButtonVisible(true);
        updater->SetStopButtonVisible(false);
    }
}

void ResetStatusReporting() {
    PortPanelIndex = 0;
    StepPanelIndex = 1;
    DevicePanelIndex = kDevicePanel;
    ImagePanelIndex = 3;
    gStatus = StatusState{};
}

}  // namespace vorlan
