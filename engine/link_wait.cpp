#include "engine/link_wait.h"

#include "engine/link_port.h"
#include "engine/link_state.h"
#include "engine/pause.h"
#include "engine/reply_parser.h"

namespace vorlan {

namespace {

constexpr std::int32_t kPauseMs = 5;

}  // namespace

void PumpMessages(std::int32_t ms) {
    for (std::int32_t left = ms; left > 0; left -= kPauseMs) CurrentPause().PauseFiveMs();
}

std::int16_t PollReplies() {
    LinkState& link = Link();
    std::int32_t count = CurrentLinkPort().Read(link.receiveBuffer.data(), kReceiveBufferSize);
    // A failed read counts as no bytes; a port never gets to claim more than
    // the buffer holds.
    if (count < 0)
        count = 0;
    if (count > kReceiveBufferSize)
        count = kReceiveBufferSize;
    ParseReplyBytes(link.receiveBuffer.data(), count);
    return static_cast<std::int16_t>(count);
}

std::int16_t WaitReply(std::int32_t ms) {
    const std::int32_t passes = ms / kPauseMs;
    for (std::int32_t pass = 0; pass < passes; ++pass) {
        PumpMessages(kPauseMs);
        PollReplies();
        LinkState& link = Link();
        if (link.stopRequest) {
            link.stopRequest = false;
            return kWaitStopped;
        }
        if (link.ackFlag != 0)
            return kWaitAcknowledged;
        if (link.refusalFlag != 0)
            return kWaitRefused;
    }
    return kWaitTimeOut;
}

void ClearIdentity() {
    Link().confirmed = DeviceIdentity{};
}

}  // namespace vorlan
