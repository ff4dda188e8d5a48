// A scripted stand-in for the board link. It records every frame the engine
// writes and answers each one through a test-supplied policy; the answer is
// handed out in chunks, one chunk per ReadPort call, so a test can split a
// reply over several reads or hold it back for a number of pauses.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

#include "engine/link_port.h"

namespace vorlan::test {

using Bytes = std::vector<std::uint8_t>;

// One piece of an answer: the bytes delivered by one ReadPort call, after
// `delayReads` earlier ReadPort calls have returned nothing.
struct ReplyChunk {
    Bytes bytes;
    int delayReads = 0;
};

class ScriptedPort : public LinkPort {
public:
    // Called with each written frame; returns the chunks to deliver.
    using AnswerPolicy = std::function<std::vector<ReplyChunk>(const Bytes& written)>;

    // --- test controls ---
    void SetAnswerPolicy(AnswerPolicy policy) { policy_ = std::move(policy); }
    // Every write is answered with the same bytes in one chunk.
    void AnswerEveryWriteWith(Bytes reply);
    // Answers the k-th write (0-based) with replies[k]; later writes get nothing.
    void AnswerWritesInTurn(std::vector<Bytes> replies);
    // Queues bytes to be read without any write (one chunk).
    void Deliver(Bytes bytes, int delayReads = 0);
    void SetCheckResult(std::int16_t result) { checkResult_ = result; }
    // Result of WritePort (2 written, 0 failed).
    void SetWriteResult(int result) { writeResult_ = result; }

    // --- what the engine did ---
    const std::vector<Bytes>& Writes() const { return writes_; }
    int ReadCalls() const { return readCalls_; }
    int ReopenCalls() const { return reopenCalls_; }
    int DrainCalls() const { return drainCalls_; }
    int ShowPortCalls() const { return showPortCalls_; }
    int CheckCalls() const { return checkCalls_; }
    bool HasPendingReplies() const { return !pending_.empty(); }

    // --- LinkPort ---
    void ReopenSelected() override { ++reopenCalls_; }
    // Writes "COM1" into the port panel.
    void ShowOnStatusBar(StatusBarView& bar) override;
    std::int16_t Check() override;
    int Write(const std::uint8_t* bytes, std::int32_t count) override;
    std::int32_t Read(std::uint8_t* buffer, std::int32_t capacity) override;
    // Discards every pending chunk.
    std::int64_t Drain() override;

private:
    AnswerPolicy policy_;
    std::deque<ReplyChunk> pending_;
    std::vector<Bytes> writes_;
    std::int16_t checkResult_ = 0;
    int writeResult_ = 2;
    int readCalls_ = 0;
    int reopenCalls_ = 0;
    int drainCalls_ = 0;
    int showPortCalls_ = 0;
    int checkCalls_ = 0;
};

}  // namespace vorlan::test
