#include "engine/link_wait.h"

#include <gtest/gtest.h>

#include <functional>

#include "engine/link_state.h"
#include "tests/support/engine_fixture.h"

namespace vorlan {
namespace {

using LinkWaitTest = test::EngineTest;

TEST_F(LinkWaitTest, PumpMessagesPausesOncePerStartedFiveMs) {
    const struct {
        std::int32_t ms;
        std::int64_t passes;
    } cases[] = {{-5, 0}, {0, 0}, {1, 1}, {5, 1}, {6, 2}, {10, 2}, {11, 3}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ms);
        const std::int64_t before = clock.Passes();
        PumpMessages(c.ms);
        EXPECT_EQ(clock.Passes() - before, c.passes);
    }
}

TEST_F(LinkWaitTest, SilentBoardTimesOutAfterMsOverFivePasses) {
    const struct {
        std::int32_t ms;
        std::int64_t passes;
    } cases[] = {{4, 0}, {5, 1}, {100, 20}, {1000, 200}, {2000, 400}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ms);
        const std::int64_t passesBefore = clock.Passes();
        const int readsBefore = port.ReadCalls();
        EXPECT_EQ(WaitReply(c.ms), kWaitTimeOut);
        EXPECT_EQ(clock.Passes() - passesBefore, c.passes);
        EXPECT_EQ(port.ReadCalls() - readsBefore, c.passes);
    }
}

TEST_F(LinkWaitTest, ReplyEndsTheWaitInThePassItIsRead) {
    const struct {
        test::Bytes reply;
        std::int16_t result;
    } cases[] = {
        {{'K'}, kWaitAcknowledged}, {{'N'}, kWaitRefused},
        {{'N', 'K'}, kWaitRefused},  // the refusal wins: the frame goes out again
        {{'K', 'N'}, kWaitRefused}, {{0x42}, kWaitTimeOut},
    };
    for (const auto& c : cases) {
        ResetLinkState();
        const std::int64_t before = clock.Passes();
        port.Deliver(c.reply, 9);
        EXPECT_EQ(WaitReply(100), c.result);
        EXPECT_EQ(clock.Passes() - before, c.result == kWaitTimeOut ? 20 : 10);
    }
}

// A line that brings a byte every millisecond ends every pause early; the
// waits still last their time unless their answer comes.
TEST_F(LinkWaitTest, BytesThatAnswerNothingDoNotShortenAWait) {
    struct EveryMillisecond : test::VirtualClock::InputSource {
        explicit EveryMillisecond(const test::VirtualClock& c) : clock(c) {}
        std::int64_t NextReadableUs() const override { return clock.ElapsedUs() + 1000; }
        const test::VirtualClock& clock;
    } noise(clock);
    clock.SetInputSource(&noise);
    const struct {
        const char* name;
        std::function<std::int16_t()> wait;
        std::int64_t ms;
    } cases[] = {
        {"answer wait", [] { return WaitReply(1000); }, 1000},
        {"search try", [] { return WaitReply(100); }, 100},
        {"pumping", [] { return PumpMessages(6), std::int16_t{0}; }, 6},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::int64_t before = clock.ElapsedMs();
        for (int i = 0; i < 2000; ++i) port.Deliver({0x00});
        EXPECT_EQ(c.wait(), kWaitTimeOut);
        EXPECT_EQ(clock.ElapsedMs() - before, c.ms);
        port.Drain();
    }
    // An answer within the time still ends the wait at once.
    port.Deliver({'K'}, 800);
    EXPECT_EQ(WaitReply(1000), kWaitAcknowledged);
    EXPECT_EQ(clock.Passes(), 1000 + 100 + 6 + 801);
}

TEST_F(LinkWaitTest, ReplySplitOverReadsIsAssembled) {
    port.Deliver({'V', 0x10});
    port.Deliver({0x21, 0x05}, 3);
    port.Deliver({0x03, 'K'}, 3);
    EXPECT_EQ(WaitReply(100), kWaitAcknowledged);
    EXPECT_EQ(clock.Passes(), 9);
    EXPECT_EQ(Link().confirmed.chipIdentity, 0x21);
    EXPECT_EQ(Link().confirmed.preparation, 0x03);
}

TEST_F(LinkWaitTest, StopBeatsAnAckInTheSamePassAndIsCleared) {
    port.Deliver({'K'}, 39);
    clock.PressStopAt(40);
    EXPECT_EQ(WaitReply(1000), kWaitStopped);
    EXPECT_EQ(clock.Passes(), 40);
    EXPECT_FALSE(Link().stopRequest);
    // The ack stays for whoever looks next; the stop does not come back.
    EXPECT_EQ(WaitReply(1000), kWaitAcknowledged);
    EXPECT_EQ(clock.Passes(), 41);
}

TEST_F(LinkWaitTest, StopRaisedBeforeTheWaitIsSeenInTheFirstPass) {
    RequestStop();
    EXPECT_EQ(WaitReply(1000), kWaitStopped);
    EXPECT_EQ(clock.Passes(), 1);
    EXPECT_FALSE(Link().stopRequest);
}

TEST_F(LinkWaitTest, WaitTooShortForAPassLeavesTheStopRequest) {
    RequestStop();
    EXPECT_EQ(WaitReply(4), kWaitTimeOut);
    EXPECT_TRUE(Link().stopRequest);
}

TEST_F(LinkWaitTest, UnboundPortAndPauseJustRunOut) {
    BindLinkPort(nullptr);
    BindPause(nullptr);
    EXPECT_EQ(WaitReply(1000), kWaitTimeOut);
}

TEST_F(LinkWaitTest, ClearIdentityTouchesOnlyTheConfirmedIdentity) {
    port.Deliver({'V', 0x10, 0x21, 0x05, 0x03, 'K'});
    PollReplies();
    ClearIdentity();
    EXPECT_EQ(Link().confirmed.biosByte, 0);
    EXPECT_EQ(Link().confirmed.chipIdentity, 0);
    EXPECT_EQ(Link().confirmed.boardCode, 0);
    EXPECT_EQ(Link().confirmed.preparation, 0);
    EXPECT_EQ(Link().pending.chipIdentity, 0x21);
    EXPECT_EQ(Link().fullIdentity, 1);
    EXPECT_EQ(Link().identityPosition, kIdentityComplete);
}

}  // namespace
}  // namespace vorlan
