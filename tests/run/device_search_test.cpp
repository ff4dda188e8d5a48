#include "engine/device_search.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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
using test::Mode;

class DeviceSearchTest : public test::RunTest {};

TEST_F(DeviceSearchTest, BoardAnsweringTheThirdTryIsFoundWithItsIdentity) {
    port.AnswerWritesInTurn({{}, {kReplyRefusal}, test::FullAnswer({9, 254, 5, 0x84})});
    EXPECT_EQ(SearchDevice(progress, Bar()), kSearchFound);

    EXPECT_EQ(port.Writes(), (std::vector<Bytes>(3, Bytes{0xC2})));
    EXPECT_EQ(Bar().PanelHistory(StepPanelIndex),
              (std::vector<std::string>{"Try 0", "Try 1", "Try 2"}));
    EXPECT_EQ(port.DrainCalls(), 3);
    EXPECT_EQ(progress.Position(), 0);
    EXPECT_TRUE(progress.Smooth());
    EXPECT_EQ(Bar().Panel(PortPanelIndex), "COM1");
    // Still busy: the run goes on with the programming.
    EXPECT_TRUE(updater.stopVisible);
    EXPECT_FALSE(updater.startVisible);
    const DeviceIdentity& id = Link().confirmed;
    EXPECT_EQ(id.biosByte, 9);
    EXPECT_EQ(id.chipIdentity, 254);
    EXPECT_EQ(id.boardCode, 5);
    EXPECT_EQ(id.preparation, 0x84);
}

// The identity answer has no checksum: a try finds the board only when its
// bytes end in a whole answer. Anything else counts like silence, and the
// board gets the next search byte.
TEST_F(DeviceSearchTest, OnlyAWholeAnswerFindsTheBoard) {
    constexpr std::uint8_t V = kReplyIdentity;
    constexpr std::uint8_t K = kReplyAck;
    const struct {
        const char* name;
        Bytes answer;
        bool accepted;
    } cases[] = {
        {"full answer", {V, 9, 254, 5, 0x84, K}, true},
        {"stray bytes before the 'V'", {0x00, V, 0x42, V, 9, 254, 5, 0x84, K}, true},
        {"short answer", {0x42, K}, true},
        {"bare 'K'", {K}, false},
        {"a 'K' flood", Bytes(40, K), false},
        {"a stray 'V' before the 'K'", {V, 9, 254, 9, 4, V, K}, false},
        {"three identity bytes", {V, 9, 254, 5, K}, false},
        {"five identity bytes", {V, 9, 254, 0x00, 5, 0x84, K}, false},
        {"a refusal among them", {V, 9, 254, 'N', 5, K}, false},
        {"two bytes before a short answer's 'K'", {0x00, 0x42, K}, false},
        {"a 'K' inside the answer", {V, 9, K, 5, 0x84, K}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        StartCase();
        port.AnswerWritesInTurn({c.answer, test::FullAnswer({7, 66, 3, 1})});
        ASSERT_EQ(SearchDevice(progress, Bar()), kSearchFound);
        EXPECT_EQ(port.Writes().size(), c.accepted ? 1u : 2u);
        const DeviceIdentity& id = Link().confirmed;
        if (!c.accepted) {
            EXPECT_EQ(id.biosByte, 7);
            EXPECT_EQ(id.chipIdentity, 66);
            EXPECT_EQ(id.boardCode, 3);
            EXPECT_EQ(Link().fullIdentity, 1);
        } else if (c.answer.size() == 2) {
            EXPECT_EQ(id.biosByte, 0);
            EXPECT_EQ(id.chipIdentity, 0x42);
            EXPECT_EQ(Link().fullIdentity, 0);
        } else {
            EXPECT_EQ(id.biosByte, 9);
            EXPECT_EQ(id.chipIdentity, 254);
            EXPECT_EQ(id.preparation, 0x84);
        }
    }
}

TEST_F(DeviceSearchTest, UpgradeModeCountsTheBarDownAndRefusalsAreFailedTries) {
    UseMode(Mode::Upgrade);
    port.AnswerEveryWriteWith({kReplyRefusal});
    EXPECT_EQ(SearchDevice(progress, Bar()), kSearchNotFound);

    EXPECT_EQ(port.Writes(), (std::vector<Bytes>(100, Bytes{0xC5})));
    std::vector<int> expected{0};  // the run starts at 0
    for (int tries = 0; tries < 100; ++tries) expected.push_back(100 - tries);
    expected.push_back(0);
    EXPECT_EQ(progress.Positions(), expected);
    EXPECT_EQ(progress.Maximum(), 100);
    const std::vector<std::string> steps = Bar().PanelHistory(StepPanelIndex);
    ASSERT_EQ(steps.size(), 101u);
    EXPECT_EQ(steps.front(), "Search Device");
    EXPECT_EQ(steps.back(), "Device not Found");
    EXPECT_TRUE(upgrade.startVisible);
    EXPECT_FALSE(upgrade.stopVisible);
    EXPECT_TRUE(updater.statusBar.History().empty());
    // A refusal does not shorten its try: 100 tries of 20 pauses.
    EXPECT_EQ(clock.Passes(), 2000);
}

TEST_F(DeviceSearchTest, SilenceEndsWithDeviceNotFoundInTheUpdaterWindow) {
    EXPECT_EQ(SearchDevice(progress, Bar()), kSearchNotFound);
    EXPECT_EQ(port.Writes().size(), 100u);
    EXPECT_EQ(Bar().PanelHistory(StepPanelIndex)[99], "Try 99");
    EXPECT_EQ(Bar().Panel(StepPanelIndex), "Device not Found");
    EXPECT_TRUE(updater.startVisible);
    EXPECT_FALSE(updater.stopVisible);
    EXPECT_FALSE(updater.resultVisible);
    EXPECT_TRUE(notifier.codes.empty());
}

TEST_F(DeviceSearchTest, StopDuringTheFortiethTryAbortsInBothModes) {
    for (Mode mode : {Mode::Updater, Mode::Upgrade}) {
        SCOPED_TRACE(mode == Mode::Updater ? "Updater" : "Upgrade");
        StartCase();
        UseMode(mode);
        clock.PressStopAt(39 * 20 + 7);  // inside the wait of try 39
        EXPECT_EQ(SearchDevice(progress, Bar()), kSearchStopped);
        EXPECT_EQ(port.Writes().size(), 40u);
        EXPECT_EQ(progress.Position(), 0);
        EXPECT_FALSE(Link().stopRequest);
        EXPECT_EQ(notifier.codes, (std::vector<std::uint8_t>{0}));
        if (mode == Mode::Updater) {
            EXPECT_EQ(updater.resultText, " User Abort !! ");
            EXPECT_EQ(updater.resultBackground, kColourRed);
        } else {
            EXPECT_EQ(upgrade.statusBar.Panel(StepPanelIndex), " User Abort !! ");
        }
    }
}

TEST_F(DeviceSearchTest, UnusablePortWritesNothingAndGoesIdle) {
    for (Mode mode : {Mode::Updater, Mode::Upgrade}) {
        StartCase();
        UseMode(mode);
        port.SetCheckResult(-2);
        EXPECT_EQ(SearchDevice(progress, Bar()), kSearchPortUnusable);
        EXPECT_EQ(port.ReopenCalls(), 1);
        EXPECT_TRUE(port.Writes().empty());
        EXPECT_TRUE(Bar().PanelHistory(StepPanelIndex).empty());
        EXPECT_TRUE(mode == Mode::Updater ? updater.startVisible : upgrade.startVisible);
        EXPECT_FALSE(mode == Mode::Updater ? updater.stopVisible : upgrade.stopVisible);
    }
}

TEST_F(DeviceSearchTest, StartsFromAnEmptyLinkStateEveryTime) {
    LinkState& link = Link();
    link.frameState = InfoFrameState::Data;
    link.releaseText[0] = 'x';
    link.skipWindowStart = {0x00, 0x40};
    link.skipWindowLength = {0x00, 0x04};
    link.confirmed = DeviceIdentity{9, 254, 5, 1};
    CurrentRunPlan().skipStart = 0x4000;
    CurrentRunPlan().skipLength = 0x400;

    EXPECT_EQ(SearchDevice(progress, Bar()), kSearchNotFound);
    EXPECT_EQ(link.frameState, InfoFrameState::Idle);
    EXPECT_EQ(link.releaseText[0], 0);
    EXPECT_EQ(link.skipWindowStart[1], 0);
    EXPECT_EQ(link.skipWindowLength[1], 0);
    EXPECT_EQ(link.confirmed.chipIdentity, 0);
    EXPECT_EQ(CurrentRunPlan().skipStart, 0u);
    EXPECT_EQ(CurrentRunPlan().skipLength, 0u);
}

}  // namespace
}  // namespace vorlan
