#include "engine/command_frame.h"

#include <cstdio>
#include <string>

#include "engine/link_port.h"
#include "engine/link_state.h"
#include "engine/link_wait.h"
#include "engine/run_statistics.h"
#include "engine/status_reporting.h"

namespace vorlan {

namespace {

// Shows the number of the refused send in the Updater window, which exists
// (off screen) in Upgrade mode too.
void ShowResend(int send) {
    UpdaterWindowView* updater = RegisteredUpdaterWindow();
    if (updater == nullptr)
        return;
    char text[32];
    std::snprintf(text, sizeof text, "Resend %d", send);
    StatusBarView& bar = updater->StatusBar();
    SetPanel(bar, StepPanelIndex, text);
    bar.RepaintNow();
}

}  // namespace

std::uint8_t FrameChecksum(const std::uint8_t* body, std::int32_t n) {
    std::uint8_t sum = 0;
    for (std::int32_t i = 0; i < n; ++i) sum = static_cast<std::uint8_t>(sum + body[i]);
    return static_cast<std::uint8_t>(-sum);
}

std::int16_t SendCommand(std::uint8_t* buffer, std::int32_t n) {
    buffer[n] = FrameChecksum(buffer, n);
    LinkState& link = Link();
    for (int send = 0; send < kSendTries; ++send) {
        // Neither a flag nor a byte left from an earlier answer may satisfy
        // this wait. Before the first frame such bytes are the programming
        // mode's late answer; after it, every frame has had its answer, so a
        // reply still waiting answers none of ours.
        if (DiscardEarlierInput() && link.commandFramesSent)
            return kLinkOutOfStep;
        ClearReplyFlags(link);
        if (send > 0)
            ++CurrentRunStatistics().resends;
        CurrentLinkPort().Write(buffer, n + 1);
        link.commandFramesSent = true;
        const std::int16_t reply = WaitReply(kCommandAnswerMs);
        if (reply == kWaitStopped)
            return kLinkUserAbort;
        // Its 'K' ends the identity answer; taken for the frame's answer it
        // would hide a lost block.
        if (link.identitySinceClear)
            return kLinkBoardRestarted;
        if (reply == kWaitTimeOut)
            return kLinkNoResponse;
        if (reply == kWaitAcknowledged)
            return link.acksSinceClear == 1 ? kLinkOk : kLinkOutOfStep;
        ShowResend(send);
    }
    return kLinkChecksumError;
}

std::string_view LinkErrorText(std::int16_t result) {
    switch (result) {
        case kLinkNoResponse:
            return " not Response ";
        case kLinkUserAbort:
            return " User Abort !! ";
        case kLinkChecksumError:
            return " CHK Error !! ";
        case kLinkIncompatibleBootloader:
            return " Incompatible Bootloader !! ";
        case kLinkOutOfStep:
            return " Answer out of step !! ";
        case kLinkBoardRestarted:
            return " Board restarted !! ";
        case kLinkGarbledIdentity:
            return " Answer garbled, start again !! ";
        default:
            return {};
    }
}

void ShowLinkError(std::int16_t result) {
    const std::string_view text = LinkErrorText(result);
    if (text.empty())
        return;
    ReportResult(std::string(text), kColourRed, 0);
}

}  // namespace vorlan
