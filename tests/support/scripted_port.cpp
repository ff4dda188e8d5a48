#include "tests/support/scripted_port.h"

#include <algorithm>
#include <memory>

#include "engine/status_reporting.h"

namespace vorlan::test {

void ScriptedPort::AnswerEveryWriteWith(Bytes reply) {
    policy_ = [reply = std::move(reply)](const Bytes&) {
        return std::vector<ReplyChunk>{ReplyChunk{reply, 0}};
    };
}

void ScriptedPort::AnswerWritesInTurn(std::vector<Bytes> replies) {
    auto turn = std::make_shared<std::size_t>(0);
    policy_ = [replies = std::move(replies), turn](const Bytes&) {
        std::vector<ReplyChunk> chunks;
        if (*turn < replies.size() && !replies[*turn].empty()) {
            chunks.push_back(ReplyChunk{replies[*turn], 0});
        }
        ++*turn;
        return chunks;
    };
}

void ScriptedPort::Deliver(Bytes bytes, int delayReads) {
    pending_.push_back(ReplyChunk{std::move(bytes), delayReads});
}

void ScriptedPort::ShowOnStatusBar(StatusBarView& bar) {
    ++showPortCalls_;
    SetPanel(bar, PortPanelIndex, "COM1");
}

std::int16_t ScriptedPort::Check() {
    ++checkCalls_;
    return checkResult_;
}

int ScriptedPort::Write(const std::uint8_t* bytes, std::int32_t count) {
    Bytes frame(bytes, bytes + std::max<std::int32_t>(count, 0));
    writes_.push_back(frame);
    if (policy_) {
        for (ReplyChunk& chunk : policy_(frame)) pending_.push_back(std::move(chunk));
    }
    return writeResult_;
}

std::int32_t ScriptedPort::Read(std::uint8_t* buffer, std::int32_t capacity) {
    ++readCalls_;
    if (pending_.empty() || capacity <= 0)
        return 0;
    ReplyChunk& front = pending_.front();
    if (front.delayReads > 0) {
        --front.delayReads;
        return 0;
    }
    const auto n = static_cast<std::int32_t>(
        std::min<std::size_t>(front.bytes.size(), static_cast<std::size_t>(capacity)));
    std::copy_n(front.bytes.begin(), n, buffer);
    if (static_cast<std::size_t>(n) == front.bytes.size()) {
        pending_.pop_front();
    } else {
        front.bytes.erase(front.bytes.begin(), front.bytes.begin() + n);
    }
    return n;
}

std::int64_t ScriptedPort::Drain() {
    ++drainCalls_;
    std::int64_t drained = 0;
    for (const ReplyChunk& chunk : pending_)
        drained += static_cast<std::int64_t>(chunk.bytes.size());
    pending_.clear();
    return drained;
}

}  // namespace vorlan::test
