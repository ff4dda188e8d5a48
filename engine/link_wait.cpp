#include "engine/link_wait.h"

#include <algorithm>

#include "engine/command_frame.h"
#include "engine/link_port.h"
#include "engine/link_state.h"
#include "engine/pause.h"
#include "engine/reply_parser.h"

namespace vorlan {

namespace {

constexpr std::int32_t kPauseMs = 5;
// 32 full reads are about 8 s of the line at 115200 baud: more than any board
// sends between two frames, and a port that never runs dry cannot hold a run.
constexpr int kDiscardReads = 32;

std::int32_t ReadIntoBuffer(LinkState& link) {
    const std::int32_t count =
        CurrentLinkPort().Read(link.receiveBuffer.data(), kReceiveBufferSize);
    // A failed read counts as no bytes; a port never gets to claim more than
    // the buffer holds.
    return std::clamp<std::int32_t>(count, 0, kReceiveBufferSize);
}

// What ends a wait besides the stop request and the time.
enum class Answer : std::uint8_t { AckOrRefusal, AckOnly, WholeSearchAnswer };

bool Answered(const LinkState& link, Answer answer) {
    switch (answer) {
        case Answer::AckOrRefusal:
            return link.ackFlag != 0 || link.refusalFlag != 0;
        case Answer::AckOnly:
            return link.ackFlag != 0;
        case Answer::WholeSearchAnswer:
            return link.search.found;
    }
    return false;
}

std::int16_t WaitForAnswer(std::int32_t ms, Answer answer) {
    const std::int64_t limitUs = std::int64_t{ms / kPauseMs} * kPauseUs;
    for (std::int64_t waitedUs = 0; waitedUs < limitUs;) {
        waitedUs += TakePause();
        PollReplies();
        LinkState& link = Link();
        if (link.stopRequest) {
            link.stopRequest = false;
            return kWaitStopped;
        }
        if (Answered(link, answer))
            return answer == Answer::AckOrRefusal && link.refusalFlag != 0 ? kWaitRefused
                                                                           : kWaitAcknowledged;
    }
    return kWaitTimeOut;
}

}  // namespace

std::int64_t TakePause() {
    return std::max<std::int64_t>(CurrentPause().PauseFiveMs(), 1);
}

void PumpMessages(std::int32_t ms) {
    const std::int64_t limitUs = std::int64_t{ms} * 1000;
    for (std::int64_t waitedUs = 0; waitedUs < limitUs;) waitedUs += TakePause();
}

std::int16_t PollReplies() {
    LinkState& link = Link();
    const std::int32_t count = ReadIntoBuffer(link);
    ParseReplyBytes(link.receiveBuffer.data(), count);
    return static_cast<std::int16_t>(count);
}

std::int16_t WaitReply(std::int32_t ms) {
    return WaitForAnswer(ms, Answer::AckOrRefusal);
}

std::int16_t WaitAcknowledgement(std::int32_t ms) {
    return WaitForAnswer(ms, Answer::AckOnly);
}

std::int16_t WaitSearchAnswer(std::int32_t ms) {
    return WaitForAnswer(ms, Answer::WholeSearchAnswer);
}

bool DiscardEarlierInput() {
    LinkState& link = Link();
    bool replies = false;
    for (int read = 0; read < kDiscardReads; ++read) {
        const std::int32_t count = ReadIntoBuffer(link);
        if (count == 0)
            break;
        const auto* first = link.receiveBuffer.data();
        replies = replies || std::any_of(first, first + count, [](std::uint8_t byte) {
                      return byte == kReplyAck || byte == kReplyRefusal;
                  });
    }
    link.frameState = InfoFrameState::Idle;
    return replies;
}

void ClearIdentity() {
    Link().confirmed = DeviceIdentity{};
}

}  // namespace vorlan
