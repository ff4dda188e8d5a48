// Faults the board model injects on request, each tied to a frame number.
#include <gtest/gtest.h>

#include "tests/board/board_frames.h"

namespace vorlan::board::test {
namespace {

Bytes Block(int index) {
    return BlockFrame(static_cast<std::uint32_t>(index) * 0x80,
                      Pattern(256, static_cast<std::uint8_t>(index)), 2);
}

template <typename Edit>
BoardFaults Faults(Edit edit) {
    BoardFaults faults;
    edit(faults);
    return faults;
}

BootLoaderModel Searched(BoardFaults faults) {
    BoardConfig config;
    config.biosByte = 5;  // no information frame: the answer is exactly V..K
    BootLoaderModel model(config, std::move(faults));
    model.Receive({0xC2});
    return model;
}

TEST(BoardFaults, RefusesAFrameTheGivenNumberOfTimesInEverySession) {
    BootLoaderModel model = Searched(Faults([](BoardFaults& f) { f.refuse = {{1, 2}}; }));
    for (int session = 0; session < 2; ++session) {
        SCOPED_TRACE(session);
        EXPECT_EQ(model.Receive(Block(0)), Ack());
        EXPECT_EQ(model.Receive(Block(1)), Refusal());
        EXPECT_EQ(model.Receive(Block(1)), Refusal());
        EXPECT_EQ(model.Receive(Block(1)), Ack());
        EXPECT_EQ(model.Receive(Block(2)), Ack());
        model.Receive({0xC5});
    }
    EXPECT_EQ(model.WriteCount(), 6u);
}

TEST(BoardFaults, ASilentFrameIsNeitherAnsweredNorStoredAndTheNextOneIsServed) {
    BootLoaderModel model = Searched(Faults([](BoardFaults& f) { f.silent = {1}; }));
    EXPECT_EQ(model.Receive(Block(0)), Ack());
    EXPECT_TRUE(model.Receive(Block(1)).empty());
    EXPECT_EQ(model.Receive(Block(2)), Ack());
    EXPECT_EQ(model.ProgramMemory()[0x100], 0xFF);  // block 1 at address 0x80
    EXPECT_EQ(model.Log().back().number, 2);
}

TEST(BoardFaults, StrayBytesComeBeforeTheAcknowledgement) {
    BootLoaderModel model = Searched(Faults([](BoardFaults& f) {
        f.stray = {{0, {0x12, 'N', 0x34}}};
    }));
    EXPECT_EQ(model.Receive(Block(0)), (Bytes{0x12, 'N', 0x34, 'K'}));
    EXPECT_EQ(model.Receive(Block(1)), Ack());
}

TEST(BoardFaults, HangsUpAfterTheFrameAndHearsNothingUntilReconnected) {
    BootLoaderModel model = Searched(Faults([](BoardFaults& f) { f.hangUpAfter = 1; }));
    EXPECT_EQ(model.Receive(Block(0)), Ack());
    EXPECT_FALSE(model.HungUp());
    // The rest of the same chunk after the frame is not heard either.
    Bytes chunk = Block(1);
    const Bytes next = Block(2);
    chunk.insert(chunk.end(), next.begin(), next.end());
    EXPECT_EQ(model.Receive(chunk), Ack());
    EXPECT_TRUE(model.HungUp());
    EXPECT_TRUE(model.Receive({0xC2}).empty());
    EXPECT_EQ(model.WriteCount(), 2u);

    model.Reconnect();
    EXPECT_FALSE(model.Receive({0xC2}).empty());
}

TEST(BoardFaults, LateBoardIgnoresSearchBytesUntilItsTime) {
    BoardConfig config;
    config.answerSearchFromMs = 1500;
    BootLoaderModel model(config);
    EXPECT_TRUE(model.Receive({0xC2}, 0).empty());
    EXPECT_TRUE(model.Receive({0xC2}, 1499).empty());
    EXPECT_TRUE(model.Receive(BlockFrame(0, Bytes(256, 0x00), 2), 1499).empty());
    EXPECT_FALSE(model.Receive({0xC2}, 1500).empty());
    EXPECT_EQ(model.Sessions(), 1);
    EXPECT_EQ(model.Log().size(), 3u);  // three search bytes, two unheard
    EXPECT_EQ(model.Log()[0].answer, Answer::None);
}

}  // namespace
}  // namespace vorlan::board::test
