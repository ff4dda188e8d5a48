#include "engine/reply_parser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/link_state.h"
#include "tests/support/engine_fixture.h"

namespace vorlan {
namespace {

using test::Bytes;

void Feed(const Bytes& bytes) {
    ParseReplyBytes(bytes.data(), static_cast<std::int32_t>(bytes.size()));
}

std::string ReleaseText() {
    return std::string(reinterpret_cast<const char*>(Link().releaseText.data()));
}

class ReplyParserTest : public ::testing::Test {
    test::EngineStateGuard guard_;
};

struct IdentityCase {
    const char* name;
    Bytes before;  // fed first, e.g. an earlier answer
    Bytes bytes;
    DeviceIdentity confirmed;
    std::uint8_t fullIdentity;
};

TEST_F(ReplyParserTest, IdentityAnswers) {
    const IdentityCase cases[] = {
        {"full answer", {}, {'V', 0x10, 0x21, 0x05, 0x03, 'K'}, {0x10, 0x21, 0x05, 0x03}, 1},
        {"V K without bytes", {}, {'V', 'K'}, {1, 0, 0, 0}, 1},
        {"short answer at start", {}, {0x42, 'K'}, {0, 0x42, 0, 0}, 0},
        {"short answer after full one",
         {'V', 0x10, 0x21, 0x05, 0x03, 'K'},
         {0x33, 'K'},
         {0, 0x33, 0x05, 0x03},
         0},
        {"fifth byte after V starts a short answer",
         {},
         {'V', 0x10, 0x21, 0x05, 0x03, 0x44, 'K'},
         {0, 0x44, 0x05, 0x03},
         0},
        {"spoilt answer cut after the chip", {}, {'V', 0x10, 0x21, 'K'}, {0x10, 0x21, 0, 0}, 1},
        {"bare K keeps the identity",
         {'V', 0x10, 0x21, 0x05, 0x03, 'K'},
         {'K'},
         {0x10, 0x21, 0x05, 0x03},
         1},
    };
    for (const IdentityCase& c : cases) {
        SCOPED_TRACE(c.name);
        ResetLinkState();
        Feed(c.before);
        Link().ackFlag = 0;
        Feed(c.bytes);
        const DeviceIdentity& got = Link().confirmed;
        EXPECT_EQ(got.biosByte, c.confirmed.biosByte);
        EXPECT_EQ(got.chipIdentity, c.confirmed.chipIdentity);
        EXPECT_EQ(got.boardCode, c.confirmed.boardCode);
        EXPECT_EQ(got.preparation, c.confirmed.preparation);
        EXPECT_EQ(Link().fullIdentity, c.fullIdentity);
        EXPECT_EQ(Link().ackFlag, 1);
    }
}

TEST_F(ReplyParserTest, IdentityBytesWithoutKAreNotConfirmed) {
    Feed({'V', 0x10, 0x21, 0x05, 0x03});
    EXPECT_EQ(Link().confirmed.biosByte, 0);
    EXPECT_EQ(Link().confirmed.chipIdentity, 0);
    EXPECT_EQ(Link().ackFlag, 0);
}

TEST_F(ReplyParserTest, InformationFrameOnlyForBiosEightToThirtyOne) {
    const struct {
        std::uint8_t bios;
        bool opensFrame;
    } cases[] = {{7, false}, {8, true}, {31, true}, {32, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.bios));
        ResetLinkState();
        Feed({'V', c.bios, 0x21, 0x05, 0x03, 'K', 'R'});
        if (c.opensFrame) {
            EXPECT_EQ(Link().frameState, InfoFrameState::Length);
            EXPECT_EQ(Link().fullIdentity, 1);
        } else {
            // An identity byte: it starts a short answer.
            EXPECT_EQ(Link().frameState, InfoFrameState::Idle);
            EXPECT_EQ(Link().fullIdentity, 0);
            EXPECT_EQ(Link().pending.chipIdentity, 'R');
        }
    }
}

// An identity answer of a BIOS 8 board followed by its information frame.
Bytes AnswerWithFrame(const Bytes& data) {
    Bytes bytes{'V', 0x08, 0x21, 0x05, 0x03, 'K', 'R', static_cast<std::uint8_t>(data.size()),
                0x99};
    for (std::uint8_t byte : data) bytes.push_back(byte);
    bytes.push_back('K');
    return bytes;
}

TEST_F(ReplyParserTest, FrameSplitAtAnyPointIsAssembledAlike) {
    Bytes data;
    for (int i = 0; i < 28; ++i) data.push_back(static_cast<std::uint8_t>('a' + i % 26));
    data[3] = 'K';  // frame bytes, not replies
    data[4] = 'N';
    data[5] = 'V';
    const Bytes whole = AnswerWithFrame(data);
    for (std::size_t split = 0; split <= whole.size(); ++split) {
        SCOPED_TRACE(split);
        ResetLinkState();
        Feed(Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(split)));
        Feed(Bytes(whole.begin() + static_cast<std::ptrdiff_t>(split), whole.end()));
        EXPECT_EQ(Link().infoComplete, 1);
        EXPECT_EQ(Link().frameState, InfoFrameState::Idle);
        EXPECT_EQ(ReleaseText(), "abcKNVghijklmnopqrstuvwx");
        EXPECT_EQ(Link().skipWindowStart, (std::array<std::uint8_t, 2>{'y', 'z'}));
        EXPECT_EQ(Link().skipWindowLength, (std::array<std::uint8_t, 2>{'a', 'b'}));
        EXPECT_EQ(Link().refusalFlag, 0);
        EXPECT_EQ(Link().fullIdentity, 1);
        EXPECT_EQ(Link().confirmed.biosByte, 8);
    }
}

TEST_F(ReplyParserTest, ClosingKIsNoAcknowledgement) {
    Feed({'V', 0x08, 0x21, 0x05, 0x03, 'K'});
    Link().ackFlag = 0;
    Feed({'R', 2, 0x99, 'K', 'N', 'K'});
    EXPECT_EQ(Link().infoComplete, 1);
    EXPECT_EQ(Link().ackFlag, 0);
    EXPECT_EQ(Link().refusalFlag, 0);
    EXPECT_EQ(ReleaseText(), "KN");
}

TEST_F(ReplyParserTest, EmptyFrameCompletesWithoutData) {
    Feed(AnswerWithFrame({}));
    EXPECT_EQ(Link().infoComplete, 1);
    EXPECT_EQ(ReleaseText(), "");
}

TEST_F(ReplyParserTest, BytesAfterTheDataCountWaitForK) {
    Feed({'V', 0x08, 0x21, 0x05, 0x03, 'K', 'R', 1, 0x99, 'x', 'N', 'V', 0x33});
    EXPECT_EQ(Link().infoComplete, 0);
    EXPECT_EQ(Link().frameState, InfoFrameState::Data);
    EXPECT_EQ(Link().refusalFlag, 0);
    EXPECT_EQ(Link().pending.chipIdentity, 0x21);
    Feed({'K'});
    EXPECT_EQ(Link().infoComplete, 1);
    EXPECT_EQ(ReleaseText(), "x");
}

TEST_F(ReplyParserTest, LongestFrameStaysInsideTheFields) {
    Bytes data(255, 'A');
    data[24] = 0x34;
    data[25] = 0x12;
    data[26] = 0x78;
    data[27] = 0x56;
    Feed(AnswerWithFrame(data));
    EXPECT_EQ(Link().infoComplete, 1);
    EXPECT_EQ(Link().dataPosition, 255);
    EXPECT_EQ(ReleaseText(), std::string(24, 'A'));
    EXPECT_EQ(Link().releaseText[kReleaseTextLength], 0);
    EXPECT_EQ(Link().skipWindowStart, (std::array<std::uint8_t, 2>{0x34, 0x12}));
    EXPECT_EQ(Link().skipWindowLength, (std::array<std::uint8_t, 2>{0x78, 0x56}));
}

// A second frame, real or made of noise, is read to its end and dropped:
// it must not move the skip window, and its bytes answer nothing.
TEST_F(ReplyParserTest, OnlyTheFirstFrameAfterAnIdentityAnswerIsStored) {
    Bytes first(28, 'a');
    first[24] = 0x00;
    first[25] = 0x40;
    Feed(AnswerWithFrame(first));
    Link().ackFlag = 0;
    Feed({'R', 28, 0x00});
    Feed(Bytes(28, 'K'));
    Feed({'K'});
    EXPECT_EQ(ReleaseText(), std::string(24, 'a'));
    EXPECT_EQ(Link().skipWindowStart, (std::array<std::uint8_t, 2>{0x00, 0x40}));
    EXPECT_EQ(Link().ackFlag, 0);
    EXPECT_EQ(Link().frameState, InfoFrameState::Idle);
    // The next identity answer's frame counts again.
    Feed(AnswerWithFrame({'z'}));
    EXPECT_EQ(ReleaseText(), "z");
}

TEST_F(ReplyParserTest, NewIdentityAnswerClearsInfoComplete) {
    Feed(AnswerWithFrame({'x'}));
    ASSERT_EQ(Link().infoComplete, 1);
    Feed({'V'});
    EXPECT_EQ(Link().infoComplete, 0);
}

}  // namespace
}  // namespace vorlan
