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
        // A flag left from an earlier answer must not satisfy this wait.
        link.ackFlag = 0;
        link.refusalFlag = 0;
        if (send > 0)
            ++CurrentRunStatistics().resends;
        CurrentLinkPort().Write(buffer, n + 1);
        const std::int16_t reply = WaitReply(kCommandAnswerMs);
        if (reply == kWaitStopped)
            return kLinkUserAbort;
        if (reply == kWaitTimeOut)
            return kLinkNoResponse;
        if (reply == kWaitAcknowledged)
            return kLinkOk;
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
