// Whole runs against the boot-loader model: what ends up in the board's
// memory, not only what went over the line.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "catalogue/image_table.h"
#include "engine/run_statistics.h"
#include "engine/status_reporting.h"
#include "engine/update_run.h"
#include "tests/run/run_fixture.h"
#include "tests/support/model_port.h"
#include "emulator/boot_loader_model.h"

namespace vorlan {
namespace {

using test::Bytes;
using test::Mode;
using test::TestImage;

// The faults a change makes to none.
template <typename Change>
board::BoardFaults faults(Change change) {
    board::BoardFaults f;
    change(f);
    return f;
}

class BoardRunTest : public test::RunTest {
protected:
    // A board that fits the build's image identity.
    board::BoardConfig Board(std::uint8_t chip, std::uint8_t bios) {
        board::BoardConfig config;
        config.chipIdentity = chip;
        config.biosByte = bios;
        config.boardCode = ImageIdentity().boardCode;
        config.preparation = ImageIdentity().preparation;
        return config;
    }
    void Connect(const board::BoardConfig& config, board::BoardFaults faults = {},
                 std::int64_t latencyMs = 3, bool lineRate = false) {
        modelPort.reset();
        model = std::make_unique<board::BootLoaderModel>(config, faults);
        modelPort = std::make_unique<test::ModelPort>(*model, clock, latencyMs, lineRate);
        BindLinkPort(modelPort.get());
    }
    RunResult Run() { return RunUpdate(progress, Bar()); }
    // Program memory as the image would leave it: the boot-loader jump at the
    // start, the image's own head at the end of the block at programLimit.
    Bytes ExpectedMemory(const Bytes& program, const Bytes& jump, std::size_t headEnd,
                         const Bytes& head) const {
        Bytes memory(model->ProgramMemory().size(), 0xFF);
        std::copy(program.begin(), program.end(), memory.begin());
        std::copy(jump.begin(), jump.end(), memory.begin());
        std::copy(head.begin(), head.end(),
                  memory.begin() + static_cast<std::ptrdiff_t>(headEnd - head.size()));
        return memory;
    }

    std::unique_ptr<board::BootLoaderModel> model;
    std::unique_ptr<test::ModelPort> modelPort;
};

TEST_F(BoardRunTest, BuiltInImageLandsInTheBoard) {
    BuildImageTable();
    const ImageDescriptor demo = ImageSlot(0, 6);
    if (demo.programLength <= 1)
        GTEST_SKIP() << "this build carries no PIC24HJ64 default image";
    const Bytes original(demo.programData, demo.programData + demo.programLength);
    const Bytes head(demo.headData, demo.headData + demo.headLength);
    board::BoardConfig config = Board(254, 9);
    config.releaseText = "REL 2.07";
    Connect(config);

    ASSERT_TRUE(Run().Succeeded());
    EXPECT_EQ(updater.resultText, " Program Ok ");
    EXPECT_EQ(updater.releaseLine, "REL 2.07");
    EXPECT_EQ(model->ProgramMemory(),
              ExpectedMemory(original, {0x00, 0xA8, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00},
                             (0xA780 + 128) * 2, head));
}

TEST_F(BoardRunTest, SkipWindowFromTheInformationFrameIsLeftAlone) {
    TestImage image(0x9000, 8, 0);
    image.Install(0, 6);
    board::BoardConfig config = Board(254, 9);
    config.skipStart = 0x4000;
    config.skipLength = 0x400;
    Connect(config);
    ASSERT_TRUE(Run().Succeeded());

    const Bytes& memory = model->ProgramMemory();
    // Blocks 0x3F80 to 0x4380 (image bytes 0x7F00 to 0x87FF) never reached the board.
    EXPECT_TRUE(std::all_of(memory.begin() + 0x7F00, memory.begin() + 0x8800,
                            [](std::uint8_t b) { return b == 0xFF; }));
    EXPECT_TRUE(std::equal(memory.begin() + 0x8800, memory.begin() + 0x9000,
                           image.program.begin() + 0x8800));
    EXPECT_TRUE(std::equal(memory.begin() + 8, memory.begin() + 0x7F00, image.program.begin() + 8));
}

TEST_F(BoardRunTest, Pic18BoardGetsProgramAndEeprom) {
    TestImage image(1000, 4, 300);
    const Bytes original = image.program;
    image.Install(0, 0);
    Connect(Board(66, 5));
    ASSERT_TRUE(Run().Succeeded());

    EXPECT_EQ(model->ProgramMemory(),
              ExpectedMemory(original, {0x40, 0xEF, 0x3F, 0xF0}, 0x7E40 + 64, image.head));
    // Bytes 256 to 299 went to addresses 0 to 43 again, after the first ones.
    Bytes eeprom(image.eeprom.begin(), image.eeprom.begin() + 256);
    std::copy(image.eeprom.begin() + 256, image.eeprom.end(), eeprom.begin());
    EXPECT_EQ(model->Eeprom(), eeprom);
}

TEST_F(BoardRunTest, LineGoneInTheMiddleEndsTheRunWithoutResponse) {
    TestImage image(20 * 256, 8, 0);
    image.Install(0, 6);
    board::BoardFaults faults;
    faults.hangUpAfter = 4;
    Connect(Board(254, 5), faults);
    EXPECT_FALSE(Run().Succeeded());
    EXPECT_EQ(updater.resultText, " not Response ");
}

// Boards that break the protocol in one way each, on a line at 115200 baud:
// a run may report success only when the board holds the whole image. Bytes
// after the identity answer (and its information frame) end the run before
// anything is written: they may mean that the answer was misread.
constexpr const char* kGarbled = " Answer garbled, start again !! ";

TEST_F(BoardRunTest, FaultyBoardsAreNeverReportedProgrammedWithBlocksMissing) {
    // A second information frame hidden in noise: its skip window would leave
    // out blocks 4 to 11.
    Bytes secondFrame{'R', 28, 0x00};
    secondFrame.resize(3 + 24, 'x');
    secondFrame.insert(secondFrame.end(), {0x00, 0x02, 0x00, 0x04, 'K'});
    const struct {
        const char* name;
        board::BoardFaults faults;
        std::uint64_t answerSearchFromMs;
        const char* result;  // nullptr: programmed
    } cases[] = {
        {"K flood after the identity answer, board deaf meanwhile",
         faults([](auto& f) { f.ackFloodMs = 30; }), 0, kGarbled},
        {"second K on its own after an answer, next frame dropped", faults([](auto& f) {
             f.afterAnswer[3] = {'K'};
             f.silent = {4};
         }),
         0, " Answer out of step !! "},
        {"second K with the answer", faults([](auto& f) { f.stray[3] = {'K'}; }), 0,
         " Answer out of step !! "},
        {"refusal and ack together", faults([](auto& f) {
             f.refuseWithAck = {2, 5};
         }),
         0, nullptr},
        {"second information frame in noise",
         faults([&](auto& f) { f.afterIdentity = secondFrame; }), 0, kGarbled},
        {"noise every ms, answers after 900 ms", faults([](auto& f) {
             f.noise = {0x00};
             f.noiseEveryMs = 1;
             f.answerDelayMs = 900;
         }),
         0, kGarbled},
        {"noise every ms, board out of reset after 4 s", faults([](auto& f) {
             f.noise = {0x7F};
             f.noiseEveryMs = 1;
         }),
         4000, kGarbled},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        StartCase();
        TestImage image(16 * 256, 8, 0);
        const Bytes original = image.program;
        image.Install(0, 6);
        board::BoardConfig config = Board(254, 9);
        config.answerSearchFromMs = c.answerSearchFromMs;
        Connect(config, c.faults, 3, true);

        const RunResult outcome = Run();
        const Bytes expected =
            ExpectedMemory(original, {0x00, 0xA8, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00},
                           (0xA780 + 128) * 2, image.head);
        if (outcome.Succeeded()) {
            EXPECT_TRUE(model->ProgramMemory() == expected) << "success with the image incomplete";
        }
        EXPECT_EQ(updater.resultText, c.result != nullptr ? c.result : " Program Ok ");
    }
}

// A board whose boot loader starts again in the middle of a run (a brown-out
// while it writes its flash) loses that frame and answers the next search
// byte with its identity, which ends in 'K'. With or without the information
// frame, and whether the search byte is a data byte or the frame's checksum,
// that 'K' is no acknowledgement.
TEST_F(BoardRunTest, ABoardThatRestartsMidRunIsNeverReportedProgrammed) {
    constexpr std::size_t kBlock = 3;
    constexpr std::size_t kHeader = 5;
    const struct {
        const char* name;
        std::uint8_t bios;
        bool searchByteIsChecksum;
    } cases[] = {
        {"search byte in the data, information frame", 9, false},
        {"search byte in the data, no information frame", 5, false},
        {"checksum byte 0xC5", 9, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        StartCase();
        TestImage image(8 * 256, 8, 0);
        Bytes& program = image.program;
        const std::size_t last = (kBlock + 1) * 256 - 1;
        if (c.searchByteIsChecksum) {
            // Address 0x000180 and count 0x0100, then the data: the last data
            // byte makes the checksum 0xC5.
            unsigned sum = 0x01 + 0x80 + 0x01;
            for (std::size_t i = kBlock * 256; i < last; ++i) sum += program[i];
            program[last] = static_cast<std::uint8_t>(-static_cast<int>(0xC5 + sum));
        } else {
            program[kBlock * 256 + 100] = 0xC2;
        }
        image.Install(0, 6);
        board::BoardFaults faults;
        faults.restartInFrame[static_cast<int>(kBlock)] = kHeader + 10;
        Connect(Board(254, c.bios), faults, 3, true);

        EXPECT_FALSE(Run().Succeeded());
        EXPECT_EQ(updater.resultText, " Board restarted !! ");
        EXPECT_EQ(model->Sessions(), 2) << "the restarted board was not searched for again";
    }
}

// A board that answers 0xCC only after 2.1 s or 2.5 s (erasing its flash) and
// hears nothing until then: the first block goes out again once it listens.
TEST_F(BoardRunTest, ALateAnswerToProgrammingModeLeavesNoBlockOut) {
    for (const std::uint32_t delayMs : {0u, 2100u, 2500u}) {
        SCOPED_TRACE(delayMs);
        StartCase();
        TestImage image(6 * 256, 8, 0);
        const Bytes original = image.program;
        image.Install(0, 6);
        board::BoardConfig config = Board(254, 9);
        config.programmingModeDelayMs = delayMs;
        Connect(config, {}, 3, true);

        ASSERT_TRUE(Run().Succeeded()) << updater.resultText;
        EXPECT_TRUE(model->ProgramMemory() ==
                    ExpectedMemory(original, {0x00, 0xA8, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00},
                                   (0xA780 + 128) * 2, image.head));
    }
}

// What the search and the run take from the line: refusals and floods do not
// change how long the search lasts, bytes after the identity answer end the
// run with no board named, and bytes that look like an identity answer during
// the run do not change the board the run names.
TEST_F(BoardRunTest, LineNoiseBendsNeitherTheSearchTimeNorTheIdentifiedBoard) {
    enum Outcome { NotFound, Garbled, Programmed };
    Bytes trailing;
    for (int i = 0; i < 3000; ++i) trailing.push_back("NK\x86\xFFV"[i % 5]);
    const struct {
        const char* name;
        board::BoardFaults faults;
        std::uint64_t answerSearchFromMs;
        Outcome end;
    } cases[] = {
        {"a refusal every ms, no board", faults([](auto& f) {
             f.noise = {'N'};
             f.noiseEveryMs = 1;
         }),
         60'000, NotFound},
        {"zero bytes at the line's rate, no board", faults([](auto& f) {
             f.noise = Bytes(10, 0x00);
             f.noiseEveryMs = 1;
         }),
         60'000, NotFound},
        {"3000 bytes of garbage after the identity answer",
         faults([&](auto& f) { f.afterIdentity = trailing; }), 0, Garbled},
        {"identity-like bytes every 20 ms during the run", faults([](auto& f) {
             f.noise = {0xFF, 0x86};
             f.noiseEveryMs = 20;
         }),
         0, Programmed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        StartCase();
        TestImage image(4 * 256, 8, 0);
        image.Install(0, 6);
        board::BoardConfig config = Board(254, 9);
        config.answerSearchFromMs = c.answerSearchFromMs;
        Connect(config, c.faults, 3, true);

        const RunResult outcome = Run();
        const RunStatistics& statistics = CurrentRunStatistics();
        if (c.end == NotFound) {
            EXPECT_EQ(Bar().Panel(StepPanelIndex), "Device not Found");
            EXPECT_GE(clock.ElapsedMs(), 10'000);
            EXPECT_LE(clock.ElapsedMs(), 10'500);
            EXPECT_FALSE(statistics.boardIdentified);
            continue;
        }
        if (c.end == Garbled) {
            EXPECT_EQ(updater.resultText, kGarbled);
            EXPECT_FALSE(statistics.boardIdentified);
            continue;
        }
        if (c.end == Programmed) {
            EXPECT_TRUE(outcome.Succeeded()) << updater.resultText;
        }
        EXPECT_TRUE(statistics.boardIdentified);
        EXPECT_EQ(statistics.board.chipIdentity, 254);
        EXPECT_EQ(statistics.board.biosByte, 9);
        EXPECT_TRUE(statistics.fullIdentity);
    }
}

}  // namespace
}  // namespace vorlan
