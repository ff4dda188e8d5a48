#include "engine/device_search.h"

#include <cstdio>

#include "engine/command_frame.h"
#include "engine/link_port.h"
#include "engine/link_state.h"
#include "engine/link_wait.h"
#include "engine/run_plan.h"
#include "engine/run_result.h"
#include "engine/status_reporting.h"

namespace vorlan {

namespace {

constexpr std::int32_t kSearchAnswerMs = 100;

// Everything one run learns from the board starts empty, so nothing from an
// earlier board can leak into this one.
void ResetRunLinkState() {
    LinkState& link = Link();
    link.frameState = InfoFrameState::Idle;
    link.infoComplete = 0;
    link.commandFramesSent = false;
    link.releaseText.fill(0);
    link.skipWindowStart.fill(0);
    link.skipWindowLength.fill(0);
    RunPlan& plan = CurrentRunPlan();
    plan.skipStart = 0;
    plan.skipLength = 0;
    ClearIdentity();
}

void ShowTry(ProgressBarView& progress, StatusBarView& status, int tries) {
    if (IsUpgradeMode()) {
        progress.SetPosition(kSearchTries - tries);
        SetPanel(status, StepPanelIndex, "Search Device");
        return;
    }
    char text[24];
    std::snprintf(text, sizeof text, "Try %d", tries);
    SetPanel(status, StepPanelIndex, text);
}

}  // namespace

std::int16_t SearchDevice(ProgressBarView& progress, StatusBarView& status) {
    LinkPort& port = CurrentLinkPort();
    port.ReopenSelected();
    port.ShowOnStatusBar(status);
    ShowBusyButtons();
    progress.SetPosition(0);
    progress.SetSmooth(true);
    if (port.Check() < 0) {
        EndRun(RunEnd::InvalidPort);
        ShowIdleButtons();
        return kSearchPortUnusable;
    }

    ResetRunLinkState();
    const std::uint8_t searchByte = IsUpgradeMode() ? kSearchByteUpgrade : kSearchByteUpdater;
    progress.SetMaximum(kSearchTries);
    LinkState& link = Link();
    int tries = 0;
    while (tries < kSearchTries) {
        // Bytes left from an earlier try would be taken for this try's answer.
        port.Drain();
        ClearIdentity();
        ShowTry(progress, status, tries);
        ClearReplyFlags(link);
        BeginSearchTry(link);
        port.Write(&searchByte, 1);
        // Only a whole answer finds the board: a refusal, a bare 'K' or an
        // answer spoilt by a stray byte counts like silence, and the try
        // still waits its whole time. A board that answered badly gets the
        // next search byte.
        const std::int16_t reply = WaitSearchAnswer(kSearchAnswerMs);
        if (reply <= kWaitStopped) {
            link.search.listening = false;
            ShowLinkError(reply);
            progress.SetPosition(0);
            return kSearchStopped;
        }
        // The parser left the answer in the confirmed identity; what came
        // after it in the same read is no part of it.
        if (reply > 0)
            break;
        ++tries;
    }
    link.search.listening = false;
    progress.SetPosition(0);
    if (tries >= kSearchTries) {
        SetPanel(status, StepPanelIndex, EndRun(RunEnd::DeviceNotFound));
        ShowIdleButtons();
        return kSearchNotFound;
    }
    return kSearchFound;
}

}  // namespace vorlan
