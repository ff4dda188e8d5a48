#include "engine/update_run.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

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
    RunOutcome Run() { return RunUpdate(progress, Bar()); }

    TestImage image{4 * 256, 8, 0};
    Bytes answer;
};

TEST_F(UpdateRunTest, NoBoardNoProgramming) {
    EXPECT_EQ(Run(), RunOutcome::Failed);
    EXPECT_EQ(port.Writes().size(), 100u);
    EXPECT_TRUE(FramesAfterSearch().empty());
    port.SetCheckResult(-1);
    EXPECT_EQ(Run(), RunOutcome::Failed);
    EXPECT_EQ(port.Writes().size(), 100u);
}

TEST_F(UpdateRunTest, StopPressedBetweenRunsDoesNotAbortTheNextRun) {
    ScriptBoard(answer);
    RequestStop();
    EXPECT_EQ(Run(), RunOutcome::Succeeded);
    EXPECT_EQ(updater.resultText, " Program Ok ");
}

TEST_F(UpdateRunTest, StartDuringARunDoesNothing) {
    ScriptBoard(answer);
    std::optional<RunOutcome> nested;
    bool activeInside = false;
    clock.At(3, [&] {
        activeInside = IsRunActive();
        nested = Run();
    });
    EXPECT_EQ(Run(), RunOutcome::Succeeded);
    EXPECT_TRUE(activeInside);
    ASSERT_TRUE(nested.has_value());
    EXPECT_EQ(*nested, RunOutcome::NotStarted);
    EXPECT_EQ(port.ReopenCalls(), 1);
    EXPECT_FALSE(IsRunActive());
}

TEST_F(UpdateRunTest, UpgradeWindowIsIdleAfterEveryKindOfEnd) {
    const struct {
        const char* name;
        std::optional<std::size_t> silentWrite;  // after the search byte
        std::int64_t stopAt;
        const char* step;
    } cases[] = {
        {"block not answered", 3, 0, " not Response "},
        {"stop while entering programming mode", std::nullopt, 2, " User Abort !! "},
        {"stop in a block wait", std::nullopt, 5, " User Abort !! "},
        {"success", std::nullopt, 0, "Program OK"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        StartCase();
        UseMode(Mode::Upgrade);
        ScriptBoard(answer, [&](std::size_t index, const Bytes&) -> std::optional<Bytes> {
            if (c.silentWrite && index == *c.silentWrite + 1)
                return Bytes{};
            return std::nullopt;
        });
        if (c.stopAt > 0)
            clock.PressStopAt(c.stopAt);
        const RunOutcome outcome = Run();
        EXPECT_EQ(outcome,
                  c.step == std::string("Program OK") ? RunOutcome::Succeeded : RunOutcome::Failed);
        EXPECT_EQ(upgrade.statusBar.Panel(StepPanelIndex), c.step);
        EXPECT_TRUE(upgrade.startVisible);
        EXPECT_FALSE(upgrade.stopVisible);
    }
}

}  // namespace
}  // namespace vorlan
