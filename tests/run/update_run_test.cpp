#include "engine/update_run.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/board_names.h"
#include "catalogue/image_table.h"
#include "engine/link_state.h"
#include "engine/status_reporting.h"
#include "tests/run/run_fixture.h"

namespace vorlan {
namespace {

using test::Bytes;
using test::Mode;
using test::TestImage;

class UpdateRunTest : public test::RunTest {
protected:
    void StartCase() override {
        RunTest::StartCase();
        image.Install(0, 6);
        const ImageIdentityBytes build = ImageIdentity();
        answer = test::FullAnswer({5, 254, build.boardCode, build.preparation});
    }
    RunResult Run() { return RunUpdate(progress, Bar()); }

    TestImage image{4 * 256, 8, 0};
    Bytes answer;
};

TEST_F(UpdateRunTest, NoBoardNoProgramming) {
    EXPECT_EQ(Run().kind, RunEnd::DeviceNotFound);
    EXPECT_EQ(port.Writes().size(), 100u);
    EXPECT_TRUE(FramesAfterSearch().empty());
    port.SetCheckResult(-1);
    EXPECT_EQ(Run().kind, RunEnd::InvalidPort);
    EXPECT_EQ(port.Writes().size(), 100u);
}

TEST_F(UpdateRunTest, StopPressedBetweenRunsDoesNotAbortTheNextRun) {
    ScriptBoard(answer);
    RequestStop();
    EXPECT_TRUE(Run().Succeeded());
    EXPECT_EQ(updater.resultText, " Program Ok ");
}

TEST_F(UpdateRunTest, StartDuringARunDoesNothing) {
    ScriptBoard(answer);
    std::optional<RunResult> nested;
    bool activeInside = false;
    clock.At(3, [&] {
        activeInside = IsRunActive();
        nested = Run();
    });
    EXPECT_TRUE(Run().Succeeded());
    EXPECT_TRUE(activeInside);
    ASSERT_TRUE(nested.has_value());
    EXPECT_EQ(nested->kind, RunEnd::NotStarted);
    EXPECT_EQ(port.ReopenCalls(), 1);
    EXPECT_FALSE(IsRunActive());
}

// Every way a run can end, provoked through the port: the kind the result
// names, the text the window shows for it (the result line, or the step panel
// of the Upgrade window and of a search that found nothing), whether the board
// may hold part of an image, and the window idle afterwards.
TEST_F(UpdateRunTest, EveryEndIsAKindWithItsTextAndPartialImageFlag) {
    const ImageIdentityBytes build = ImageIdentity();
    const Bytes wrongBoard = test::FullAnswer(
        {5, 254, static_cast<std::uint8_t>(build.boardCode + 1), build.preparation});
    Bytes withStray = answer;
    withStray.push_back(0x55);
    char notSuitable[64];
    std::snprintf(notSuitable, sizeof notSuitable, "%s - Preparation%x",
                  BoardNameOf(build.boardCode).c_str(), static_cast<unsigned>(build.preparation));
    // Writes: 0 the search byte, 1 0xCC, 2 the first block, 3 the second.
    const auto answerWrite = [](std::size_t write, Bytes reply) {
        return [write, reply](std::size_t index, const Bytes&) -> std::optional<Bytes> {
            if (index >= write)
                return reply;
            return std::nullopt;
        };
    };
    const auto none = [](std::size_t, const Bytes&) -> std::optional<Bytes> {
        return std::nullopt;
    };
    const struct {
        const char* name;
        Mode mode;
        std::optional<Bytes> identity;  // nullopt: no board
        std::function<std::optional<Bytes>(std::size_t, const Bytes&)> frames;
        std::int64_t stopAt;
        std::int32_t programLength;
        std::int32_t headLength;
        RunEnd kind;
        std::string text;
        bool partial;
    } cases[] = {
        {"programmed", Mode::Updater, answer, none, 0, 4 * 256, 8, RunEnd::Programmed,
         " Program Ok ", false},
        {"programmed, Upgrade window", Mode::Upgrade, answer, none, 0, 4 * 256, 8,
         RunEnd::Programmed, "Program OK", false},
        {"block not answered", Mode::Updater, answer, answerWrite(3, {}), 0, 4 * 256, 8,
         RunEnd::NoResponse, " not Response ", true},
        {"block not answered, Upgrade window", Mode::Upgrade, answer, answerWrite(3, {}), 0,
         4 * 256, 8, RunEnd::NoResponse, " not Response ", true},
        {"stop while entering programming mode", Mode::Upgrade, answer, none, 2, 4 * 256, 8,
         RunEnd::UserAbort, " User Abort !! ", false},
        {"stop in a block wait", Mode::Updater, answer, none, 5, 4 * 256, 8, RunEnd::UserAbort,
         " User Abort !! ", true},
        {"every block refused", Mode::Updater, answer, answerWrite(2, {'N'}), 0, 4 * 256, 8,
         RunEnd::ChecksumRefused, " CHK Error !! ", true},
        {"BIOS above 32", Mode::Updater, test::FullAnswer({33, 254, 0, 0}), none, 0, 4 * 256, 8,
         RunEnd::IncompatibleBootloader, " Incompatible Bootloader !! ", false},
        {"two answers to a block", Mode::Updater, answer, answerWrite(3, {'K', 'K'}), 0, 4 * 256, 8,
         RunEnd::OutOfStep, " Answer out of step !! ", true},
        {"identity answer to a block", Mode::Updater, answer, answerWrite(3, answer), 0, 4 * 256, 8,
         RunEnd::BoardRestarted, " Board restarted !! ", true},
        {"a stray byte after the identity answer", Mode::Updater, withStray, none, 0, 4 * 256, 8,
         RunEnd::GarbledIdentity, " Answer garbled, start again !! ", false},
        {"no board", Mode::Updater, std::nullopt, none, 0, 4 * 256, 8, RunEnd::DeviceNotFound,
         "Device not Found", false},
        {"unknown chip", Mode::Updater, test::FullAnswer({5, 99, 0, 0}), none, 0, 4 * 256, 8,
         RunEnd::UnknownDevice, " Error !! ", false},
        {"no image for the board", Mode::Updater, answer, none, 0, 0, 8, RunEnd::NoImage,
         " No Hex inside !! ", false},
        {"no image, Upgrade window shows nothing", Mode::Upgrade, answer, none, 0, 0, 8,
         RunEnd::NoImage, "", false},
        {"image too big", Mode::Updater, answer, none, 0, 0x15000, 8, RunEnd::ImageTooBig,
         " Hex too Big !! ", false},
        {"another board", Mode::Updater, wrongBoard, none, 0, 4 * 256, 8, RunEnd::BoardNotSuitable,
         notSuitable, false},
        {"head longer than a block", Mode::Updater, answer, none, 0, 4 * 256, 300,
         RunEnd::PlanDoesNotFit, " Error !! ", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        StartCase();
        TestImage caseImage(c.programLength, c.headLength, 0);
        caseImage.Install(0, 6);
        UseMode(c.mode);
        if (c.identity)
            ScriptBoard(*c.identity, c.frames);
        if (c.stopAt > 0)
            clock.PressStopAt(c.stopAt);
        const RunResult result = Run();
        EXPECT_EQ(result.kind, c.kind);
        EXPECT_EQ(ResultText(result), c.text);
        EXPECT_EQ(result.PartialImage(), c.partial);
        const bool onStepPanel = c.mode == Mode::Upgrade || c.kind == RunEnd::DeviceNotFound;
        if (!c.text.empty()) {
            EXPECT_EQ(onStepPanel ? Bar().Panel(StepPanelIndex) : updater.resultText, c.text);
        }
        EXPECT_EQ(IsUpgradeMode() ? upgrade.startVisible : updater.startVisible, true);
        EXPECT_EQ(IsUpgradeMode() ? upgrade.stopVisible : updater.stopVisible, false);
    }
    // A port that cannot be used (the real port reports the text as it opens).
    StartCase();
    port.SetCheckResult(-1);
    EXPECT_EQ(Run().kind, RunEnd::InvalidPort);
}

}  // namespace
}  // namespace vorlan
