#include "engine/programming_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/chip_family.h"
#include "engine/command_frame.h"
#include "engine/identification.h"
#include "engine/link_state.h"
#include "engine/program_device.h"
#include "engine/run_plan.h"
#include "engine/status_reporting.h"
#include "tests/run/run_fixture.h"

namespace vorlan {
namespace {

using test::Bytes;
using test::Identity;
using test::Mode;
using test::TestImage;

Bytes WithChecksum(Bytes body) {
    body.push_back(FrameChecksum(body.data(), static_cast<std::int32_t>(body.size())));
    return body;
}

// Program or head block frame as it goes on the line.
Bytes BlockFrame(std::int32_t address, std::int32_t count, bool twoByteCount,
                 const std::uint8_t* data, std::int32_t dataLength) {
    Bytes body{static_cast<std::uint8_t>(address >> 16), static_cast<std::uint8_t>(address >> 8),
               static_cast<std::uint8_t>(address)};
    if (twoByteCount)
        body.push_back(static_cast<std::uint8_t>(count >> 8));
    body.push_back(static_cast<std::uint8_t>(count));
    body.insert(body.end(), data, data + dataLength);
    return WithChecksum(body);
}

Bytes HeadFrame(std::int32_t address, std::int32_t blockSize, const Bytes& head) {
    Bytes data(static_cast<std::size_t>(blockSize), 0xFF);
    std::copy(head.begin(), head.end(), data.end() - static_cast<std::ptrdiff_t>(head.size()));
    return BlockFrame(address, blockSize, blockSize > 255, data.data(), blockSize);
}

std::int32_t AddressOf(const Bytes& frame) {
    return (frame[0] << 16) | (frame[1] << 8) | frame[2];
}

class ProgrammingTest : public test::RunTest {
protected:
    // The confirmed identity of a board that fits the build's image identity.
    void ConnectBoard(std::uint8_t bios, std::uint8_t chip) {
        const ImageIdentityBytes build = ImageIdentity();
        SetConfirmed({bios, chip, build.boardCode, build.preparation});
    }
    // The programming phase alone, for a plan the identification would not make.
    bool Program(TestImage& image, const RunPlan& plan, std::uint8_t chip) {
        SetFamilyParameters(chip, Link().confirmed.biosByte);
        ImageDescriptor descriptor = image.Descriptor();
        return RunProgramming(progress, Bar(), descriptor, plan, CurrentFamilyParameters());
    }
    void ExpectFailure(const char* text) {
        EXPECT_EQ(updater.resultText, text);
        EXPECT_EQ(updater.resultBackground, kColourRed);
        EXPECT_EQ(notifier.codes, (std::vector<std::uint8_t>{0}));
    }
};

TEST_F(ProgrammingTest, DemoSizedImageGoesOutBlockByBlockThenTheHead) {
    TestImage image(64512, 8, 0);
    const Bytes original = image.program;
    image.Install(0, 6);
    ConnectBoard(5, 254);
    port.AnswerEveryWriteWith({kReplyAck});
    ASSERT_TRUE(ProgramDevice(progress, Bar()));

    Bytes expectedImage = original;
    const Bytes jump{0x00, 0xA8, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00};
    std::copy(jump.begin(), jump.end(), expectedImage.begin());
    EXPECT_EQ(image.program, expectedImage);  // the jump stays in memory

    const std::vector<Bytes>& writes = port.Writes();
    ASSERT_EQ(writes.size(), 1u + 252u + 1u);
    EXPECT_EQ(writes[0], Bytes{0xCC});
    for (int k = 0; k < 252; ++k) {
        SCOPED_TRACE(k);
        const Bytes expected = BlockFrame(k * 0x80, 256, true, expectedImage.data() + k * 256, 256);
        ASSERT_EQ(writes[1 + k].size(), 262u);
        EXPECT_EQ(writes[1 + k], expected);
    }
    EXPECT_EQ(writes[252][0], 0x00);
    EXPECT_EQ(writes[252][1], 0x7D);
    EXPECT_EQ(writes[252][2], 0x80);
    EXPECT_EQ(writes[252][3], 0x01);
    EXPECT_EQ(writes[252][4], 0x00);
    EXPECT_EQ(writes[253], HeadFrame(0xA780, 256, image.head));

    EXPECT_EQ(progress.Maximum(), 32256);
    std::vector<int> positions{0, 0};  // identification, programming start
    for (int k = 1; k <= 251; ++k) positions.push_back(k * 0x80);
    positions.push_back(0);
    EXPECT_EQ(progress.Positions(), positions);

    const std::vector<std::string> steps = Bar().PanelHistory(StepPanelIndex);
    ASSERT_EQ(steps.size(), 1u + 252u + 1u);
    EXPECT_EQ(steps[0], "Entry in PrgMode");
    EXPECT_EQ(steps[1], "Program 00000 (00000)");
    EXPECT_EQ(steps[2], "Program 00128 (00080)");
    EXPECT_EQ(steps[252], "Program 32128 (07d80)");
    EXPECT_EQ(steps[253], "Fix Program");
    EXPECT_EQ(updater.resultText, " Program Ok ");
    EXPECT_EQ(updater.resultBackground, kColourGreen);
    EXPECT_EQ(notifier.codes, (std::vector<std::uint8_t>{1}));
    EXPECT_TRUE(updater.startVisible);
    EXPECT_FALSE(updater.stopVisible);
    EXPECT_TRUE(updater.startFocused);
}

TEST_F(ProgrammingTest, Pic18RunWritesEepromWithEightBitAddresses) {
    TestImage image(100, 4, 300);
    const Bytes original = image.program;
    image.Install(0, 0);
    ConnectBoard(4, 66);  // below 5: no programming mode byte
    port.AnswerEveryWriteWith({kReplyAck});
    ASSERT_TRUE(ProgramDevice(progress, Bar()));

    Bytes data = original;
    const Bytes jump{0x80, 0xEF, 0x3F, 0xF0};
    std::copy(jump.begin(), jump.end(), data.begin());
    const std::vector<Bytes>& writes = port.Writes();
    ASSERT_EQ(writes.size(), 2u + 1u + 300u);
    EXPECT_EQ(writes[0], BlockFrame(0, 64, false, data.data(), 64));
    EXPECT_EQ(writes[1], BlockFrame(64, 36, false, data.data() + 64, 36));
    EXPECT_EQ(writes[2], HeadFrame(0x7EC0, 64, image.head));
    for (int j = 0; j < 300; ++j) {
        SCOPED_TRACE(j);
        EXPECT_EQ(writes[3 + j],
                  WithChecksum({0x40, static_cast<std::uint8_t>(j & 0xFF),
                                image.eeprom[static_cast<std::size_t>(j)], 0x01, 0x00}));
    }
    EXPECT_EQ(progress.Maximum(), 300);
    EXPECT_EQ(progress.Positions()[progress.Positions().size() - 2], 299);
    const std::vector<std::string> steps = Bar().PanelHistory(StepPanelIndex);
    EXPECT_EQ(steps[steps.size() - 1], "Program EEP 299");
    EXPECT_EQ(updater.resultText, " Program Ok ");
}

TEST_F(ProgrammingTest, BlocksEndingInsideTheSkipWindowAreNotSent) {
    TestImage image(0x9000, 8, 0);  // 144 blocks, 0x0000 to 0x4780
    ConnectBoard(9, 254);
    port.AnswerEveryWriteWith({kReplyAck});
    ASSERT_TRUE(Program(image, RunPlan{0x9000, 256, 0xA780, 0x4000, 0x400}, 254));

    std::vector<std::int32_t> sent;
    for (const Bytes& frame : FramesAfterSearch()) {
        if (frame.size() > 1)
            sent.push_back(AddressOf(frame));
    }
    std::vector<std::int32_t> expected;
    for (std::int32_t address = 0; address < 0x4800; address += 0x80) {
        if (address < 0x3F80 || address > 0x4380)
            expected.push_back(address);
    }
    expected.push_back(0xA780);
    EXPECT_EQ(sent, expected);
    EXPECT_NE(std::find(sent.begin(), sent.end(), 0x4400), sent.end());
    // The bar moves over skipped blocks too.
    const std::vector<int>& positions = progress.Positions();
    EXPECT_NE(std::find(positions.begin(), positions.end(), 0x4000), positions.end());
}

TEST_F(ProgrammingTest, ProgrammingModeWaitGoesOnWhateverTheBoardSays) {
    const struct {
        const char* name;
        std::optional<Bytes> answer;
        std::int64_t passes;  // the whole run: one for each answered frame
        std::size_t writes;
    } cases[] = {{"ack", Bytes{kReplyAck}, 1 + 2, 3},
                 // After silence the only block waits its time for a late
                 // second answer and goes out again.
                 {"silence", Bytes{}, 400 + 1 + 200 + 1 + 1, 4},
                 {"refusal", Bytes{kReplyRefusal}, 1 + 2, 3}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        StartCase();
        TestImage image(256, 8, 0);
        ConnectBoard(5, 254);
        ScriptBoard({}, [&](std::size_t index, const Bytes&) {
            return index == 0 ? c.answer : std::nullopt;
        });
        ASSERT_TRUE(Program(image, RunPlan{256, 256, 0xA780, 0, 0}, 254));
        EXPECT_EQ(port.Writes()[0], Bytes{0xCC});
        EXPECT_EQ(port.Writes().size(), c.writes);
        if (c.writes == 4) {
            EXPECT_EQ(port.Writes()[1], port.Writes()[2]);
        }
        EXPECT_EQ(clock.Passes(), c.passes);
    }
}

TEST_F(ProgrammingTest, StopDuringTheProgrammingModeWaitEndsTheRun) {
    TestImage image(256, 8, 0);
    ConnectBoard(5, 254);
    clock.PressStopAt(100);
    ASSERT_FALSE(Program(image, RunPlan{256, 256, 0xA780, 0, 0}, 254));
    EXPECT_EQ(port.Writes(), (std::vector<Bytes>{{0xCC}}));
    ExpectFailure(" User Abort !! ");
    EXPECT_FALSE(Link().stopRequest);
}

TEST_F(ProgrammingTest, OnlyAFullIdentityFromBiosFiveOnGetsTheProgrammingModeByte) {
    const struct {
        std::uint8_t bios;
        bool full;
        bool sent;
    } cases[] = {{4, true, false}, {5, true, true}, {9, false, false}, {32, true, true}};
    for (const auto& c : cases) {
        StartCase();
        TestImage image(256, 8, 0);
        SetConfirmed({c.bios, 254, 0, 0}, c.full);
        port.AnswerEveryWriteWith({kReplyAck});
        ASSERT_TRUE(Program(image, RunPlan{256, 256, 0xA780, 0, 0}, 254));
        EXPECT_EQ(port.Writes()[0] == Bytes{0xCC}, c.sent) << int(c.bios);
    }
}

// Every frame must be acknowledged: the first one that is not ends the run,
// a block in the middle of the image included.
TEST_F(ProgrammingTest, FirstFrameNotAcknowledgedEndsTheRun) {
    // 16-bit image of 4 full blocks plus a short last one; with EEPROM.
    const struct {
        const char* name;
        std::size_t failingWrite;  // 0..3 full blocks, 4 last, 5 head, 6.. EEPROM
        Bytes answer;
        const char* text;
        std::size_t writes;
    } cases[] = {
        {"first block silent", 0, {}, " not Response ", 1},
        {"middle block silent", 2, {}, " not Response ", 3},
        {"middle block refused", 2, {kReplyRefusal}, " CHK Error !! ", 7},
        {"last block silent", 4, {}, " not Response ", 5},
        {"last block refused", 4, {kReplyRefusal}, " CHK Error !! ", 9},
        {"head block silent", 5, {}, " not Response ", 6},
        {"EEPROM byte silent", 7, {}, " not Response ", 8},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        StartCase();
        TestImage image(4 * 256 + 10, 8, 4);
        ConnectBoard(4, 254);
        // A refused frame is sent five times; count frames, not writes.
        auto frames = std::make_shared<std::size_t>(0);
        auto last = std::make_shared<Bytes>();
        ScriptBoard({}, [&, frames, last](std::size_t, const Bytes& frame) -> std::optional<Bytes> {
            if (frame != *last)
                ++*frames;
            *last = frame;
            return *frames - 1 == c.failingWrite ? std::optional<Bytes>(c.answer) : std::nullopt;
        });
        ASSERT_FALSE(Program(image, RunPlan{4 * 256 + 10, 256, 0xA780, 0, 0}, 254));
        EXPECT_EQ(port.Writes().size(), c.writes);
        ExpectFailure(c.text);
    }
}

TEST_F(ProgrammingTest, StopDuringABlockWaitEndsTheRun) {
    TestImage image(10 * 256, 8, 0);
    ConnectBoard(4, 254);
    port.AnswerEveryWriteWith({kReplyAck});
    clock.PressStopAt(5);  // one pass per acknowledged block
    ASSERT_FALSE(Program(image, RunPlan{10 * 256, 256, 0xA780, 0, 0}, 254));
    EXPECT_EQ(port.Writes().size(), 5u);
    ExpectFailure(" User Abort !! ");
}

TEST_F(ProgrammingTest, PlansThatWouldOverrunTheFrameBufferAreRefused) {
    const struct {
        const char* name;
        RunPlan plan;
        std::int32_t imageLength;
        std::int32_t headLength;
        bool accepted;
        std::size_t frameSize;  // bytes on the line of the first block
    } cases[] = {
        {"largest block that fits", {294 * 2, 294, 0xA780, 0, 0}, 294 * 2, 8, true, 300},
        {"one byte too many", {295 * 2, 295, 0xA780, 0, 0}, 295 * 2, 8, false, 0},
        {"no block size", {256, 0, 0xA780, 0, 0}, 256, 8, false, 0},
        {"head longer than a block", {64, 64, 0x7EC0, 0, 0}, 64, 65, false, 0},
        {"more to send than the image", {300, 64, 0x7EC0, 0, 0}, 200, 4, false, 0},
        {"one-byte count, 255 bytes", {255, 255, 0x7EC0, 0, 0}, 255, 4, true, 260},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        StartCase();
        TestImage image(c.imageLength, c.headLength, 0);
        ConnectBoard(4, 66);
        port.AnswerEveryWriteWith({kReplyAck});
        EXPECT_EQ(Program(image, c.plan, 66), c.accepted);
        if (c.accepted) {
            EXPECT_EQ(port.Writes().front().size(), c.frameSize);
            EXPECT_EQ(updater.resultText, " Program Ok ");
        } else {
            EXPECT_TRUE(port.Writes().empty());
            ExpectFailure(" Error !! ");
        }
    }
}

TEST_F(ProgrammingTest, UpgradeModeShowsNoProgressTextsAndSendsNoCode) {
    UseMode(Mode::Upgrade);
    upgrade.startVisible = false;
    upgrade.stopVisible = true;
    TestImage image(600, 4, 3);
    ConnectBoard(5, 66);
    port.AnswerEveryWriteWith({kReplyAck});
    ASSERT_TRUE(Program(image, RunPlan{600, 64, 0x7E40, 0, 0}, 66));
    EXPECT_EQ(upgrade.statusBar.PanelHistory(StepPanelIndex),
              (std::vector<std::string>{"Entry in PrgMode", " Programming... ", "Fix Program",
                                        "Program OK"}));
    EXPECT_TRUE(notifier.codes.empty());
    EXPECT_TRUE(upgrade.startVisible);
    EXPECT_FALSE(upgrade.stopVisible);
    EXPECT_EQ(upgrade.focusCalls, 1);
}

}  // namespace
}  // namespace vorlan
