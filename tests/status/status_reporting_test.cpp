#include "engine/status_reporting.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/engine_fixture.h"
#include "tests/support/fake_views.h"

namespace vorlan {
namespace {

using Codes = std::vector<std::uint8_t>;

// Records the order in which the notifier and the window hear of a result.
class OrderedNotifier : public StatusRecordSink {
public:
    explicit OrderedNotifier(const test::FakeUpdaterWindow& window) : window_(window) {}
    void SendStatusRecord(std::uint8_t code) override {
        codes.push_back(code);
        resultLineAtSend = window_.resultText;
    }
    Codes codes;
    std::string resultLineAtSend;

private:
    const test::FakeUpdaterWindow& window_;
};

class StatusReportingTest : public ::testing::Test {
protected:
    void SetUp() override { RegisterUpdaterWindow(&updater); }

    test::EngineStateGuard guard_;
    test::FakeUpdaterWindow updater;
    test::FakeUpgradeWindow upgrade;
    test::FakeNotifier notifier;
};

TEST_F(StatusReportingTest, ResultReachesTheNotifierBeforeTheWindow) {
    OrderedNotifier ordered(updater);
    RegisterStatusNotifier(&ordered);
    ReportResult(" Program Ok ", kColourGreen, 1);
    EXPECT_EQ(ordered.codes, Codes{1});
    EXPECT_EQ(ordered.resultLineAtSend, "");
    EXPECT_EQ(updater.resultText, " Program Ok ");
}

TEST_F(StatusReportingTest, NotifierGetsTheLowByteOfTheCode) {
    RegisterStatusNotifier(&notifier);
    ReportResult(" Error !! ", kColourRed, 0x1FF);
    EXPECT_EQ(notifier.codes, Codes{0xFF});
}

TEST_F(StatusReportingTest, ResultInTheUpdaterWindowRestoresTheIdleLook) {
    ShowBusyButtons();
    ASSERT_FALSE(updater.startVisible);
    ASSERT_TRUE(updater.stopVisible);
    ReportResult(" not Response ", kColourRed, 0);
    ReportResult(" Program Ok ", kColourGreen, 1);
    EXPECT_EQ(updater.resultText, " Program Ok ");
    EXPECT_TRUE(updater.resultVisible);
    EXPECT_EQ(updater.resultBackground, kColourGreen);
    EXPECT_EQ(updater.resultTextColour, kColourWhite);
    EXPECT_TRUE(updater.startVisible);
    EXPECT_FALSE(updater.stopVisible);
    EXPECT_TRUE(updater.startFocused);
    EXPECT_TRUE(updater.changePortEnabled);
}

TEST_F(StatusReportingTest, StatusChangesOnlyTheResultLine) {
    RegisterStatusNotifier(&notifier);
    ReportResult(" not Response ", kColourRed, 0);
    const int focusCalls = updater.focusCalls;
    ReportStatus(" Programming... ", kColourButtonFace);
    EXPECT_EQ(updater.resultText, " Programming... ");
    EXPECT_EQ(updater.resultBackground, kColourButtonFace);
    EXPECT_EQ(updater.resultTextColour, kColourBlack);
    EXPECT_TRUE(updater.startVisible);
    EXPECT_FALSE(updater.stopVisible);
    EXPECT_EQ(updater.focusCalls, focusCalls);
    EXPECT_EQ(notifier.codes, Codes{0});
}

TEST_F(StatusReportingTest, StatusLeavesTheBusyLookAlone) {
    ShowBusyButtons();
    ReportStatus(" Programming... ", kColourButtonFace);
    EXPECT_FALSE(updater.startVisible);
    EXPECT_TRUE(updater.stopVisible);
    EXPECT_FALSE(updater.changePortEnabled);
}

TEST_F(StatusReportingTest, IdleButtonsDoNotMoveTheFocus) {
    ShowBusyButtons();
    ShowIdleButtons();
    EXPECT_TRUE(updater.startVisible);
    EXPECT_FALSE(updater.stopVisible);
    EXPECT_EQ(updater.focusCalls, 0);
}

class UpgradeModeTest : public StatusReportingTest {
protected:
    void SetUp() override {
        StatusReportingTest::SetUp();
        RegisterUpgradeWindow(&upgrade);
        DevicePanelIndex = -2;
        RegisterStatusNotifier(&notifier);
    }
};

TEST_F(UpgradeModeTest, ResultGoesOnlyToTheStepPanelYetIsNotified) {
    ShowBusyButtons();
    ReportResult(" CHK Error !! ", kColourRed, 0);
    ReportResult(" Program Ok ", kColourGreen, 1);
    EXPECT_EQ(notifier.codes, (Codes{0, 1}));
    EXPECT_EQ(upgrade.statusBar.History(), (std::vector<std::pair<int, std::string>>{
                                               {1, " CHK Error !! "}, {1, " Program Ok "}}));
    // The buttons keep the busy look; the Updater window is untouched.
    EXPECT_FALSE(upgrade.startVisible);
    EXPECT_TRUE(upgrade.stopVisible);
    EXPECT_EQ(upgrade.focusCalls, 0);
    EXPECT_EQ(updater.resultWrites, 0);
    EXPECT_TRUE(updater.statusBar.History().empty());
}

TEST_F(UpgradeModeTest, StatusGoesToTheStepPanelWithoutNotifying) {
    ReportStatus(" Programming... ", kColourButtonFace);
    EXPECT_EQ(upgrade.statusBar.Panel(1), " Programming... ");
    EXPECT_TRUE(notifier.codes.empty());
    EXPECT_EQ(updater.resultWrites, 0);
}

TEST_F(UpgradeModeTest, ButtonsActOnTheUpgradeWindow) {
    ShowBusyButtons();
    EXPECT_FALSE(upgrade.startVisible);
    EXPECT_TRUE(upgrade.stopVisible);
    ShowIdleButtons();
    EXPECT_TRUE(upgrade.startVisible);
    EXPECT_FALSE(upgrade.stopVisible);
    EXPECT_TRUE(updater.startVisible);
    EXPECT_FALSE(updater.stopVisible);
}

TEST_F(UpgradeModeTest, MissingPanelIsSkipped) {
    SetPanel(upgrade.StatusBar(), DevicePanelIndex, "Found 258");
    SetPanel(upgrade.StatusBar(), ImagePanelIndex, "Loaded");
    EXPECT_EQ(upgrade.statusBar.History(),
              (std::vector<std::pair<int, std::string>>{{3, "Loaded"}}));
}

TEST_F(StatusReportingTest, NothingRegisteredIsHarmless) {
    ResetStatusReporting();
    ReportResult(" Error !! ", kColourRed, 0);
    ReportStatus(" Programming... ", kColourButtonFace);
    ShowBusyButtons();
    ShowIdleButtons();
    EXPECT_FALSE(IsUpgradeMode());
    EXPECT_EQ(updater.resultWrites, 0);
}

}  // namespace
}  // namespace vorlan
