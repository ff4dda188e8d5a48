// Whole runs through the main windows' start buttons against the boot-loader
// model, and what closing the main window in the middle of a run does.
#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>

#include "app/qt/panel_status_bar.h"
#include "app/qt/updater_window.h"
#include "app/qt/upgrade_window.h"
#include "app/window_references.h"
#include "engine/status_reporting.h"
#include "engine/update_run.h"
#include "platform/settings_store.h"
#include "ports/port_selection.h"
#include "ports/serial_driver.h"
#include "tests/desktop/window_fixture.h"

namespace vorlan::test {
namespace {

class WindowRunTest : public WindowTest {};

TEST_F(WindowRunTest, StartProgramsTheBoardAndEndsWithStartFocused) {
    BindModel(DemoBoard());
    UpgradeWindow upgrade;
    upgrade.Button1()->click();

    const PanelStatusBar& bar = *upgrade.StatusBar1();
    EXPECT_EQ(bar.PanelText(1), QStringLiteral("Program OK"));
    EXPECT_EQ(bar.PanelText(2), QString());
    EXPECT_EQ(bar.PanelText(4), QString());
    EXPECT_FALSE(upgrade.Button1()->isHidden());
    EXPECT_TRUE(upgrade.Button2()->isHidden());
    EXPECT_EQ(upgrade.focusWidget(), upgrade.Button1());
    EXPECT_GT(model_->WriteCount(), 0U);
    EXPECT_FALSE(IsRunActive());
}

// A failure report in this window changes only the step panel; the run still
// has to give START back, or the user could only press STOP and poison the
// next run with a stop request.
TEST_F(WindowRunTest, FailureInUpgradeWindowEndsIdle) {
    board::BoardFaults faults;
    faults.silent = {0, 1, 2, 3, 4, 5};
    BindModel(DemoBoard(), faults);
    UpgradeWindow upgrade;
    upgrade.Button1()->click();

    EXPECT_EQ(upgrade.StatusBar1()->PanelText(1), QStringLiteral(" not Response "));
    EXPECT_FALSE(upgrade.Button1()->isHidden());
    EXPECT_TRUE(upgrade.Button2()->isHidden());
}

TEST_F(WindowRunTest, StopGivesStartBackAtOnceAndTheRunEndsAsAbort) {
    board::BoardConfig late = DemoBoard();
    late.answerSearchFromMs = 60'000;  // never answers within the search
    BindModel(late);
    UpgradeWindow upgrade;
    bool startBackAtOnce = false;
    clock_.At(30, [&] {
        ASSERT_TRUE(upgrade.Button1()->isHidden());
        upgrade.Button2()->click();
        startBackAtOnce = !upgrade.Button1()->isHidden() && upgrade.Button2()->isHidden();
    });
    upgrade.Button1()->click();

    EXPECT_TRUE(startBackAtOnce);
    EXPECT_EQ(upgrade.StatusBar1()->PanelText(1), QStringLiteral(" User Abort !! "));
    EXPECT_LE(clock_.Passes(), 31);
    // The next run is not ended by the stop that belonged to this one.
    BindModel(DemoBoard());
    upgrade.Button1()->click();
    EXPECT_EQ(upgrade.StatusBar1()->PanelText(1), QStringLiteral("Program OK"));
}

// Closing the main window while a run is searching: the run ends at its next
// wait as a user abort, the window it writes into is still there, the port
// that was opened for the run is closed and the choice is stored.
TEST_F(WindowRunTest, ClosingTheMainWindowDuringARunStopsIt) {
    ASSERT_GE(LinkPseudoTerminal("com1"), 0);

    SelectedSerialPort serial;
    BindLinkPort(&serial);
    clock_.SetPassHook([](std::int64_t) { QCoreApplication::processEvents(); });
    BindPause(&clock_);

    UpgradeWindow upgrade;
    Windows().main = &upgrade;
    upgrade.show();
    clock_.At(40, [&] {
        ASSERT_EQ(PortRecordAt(0).open, 1);
        upgrade.close();
    });
    upgrade.Button1()->click();

    EXPECT_FALSE(IsRunActive());
    EXPECT_LE(clock_.Passes(), 41);
    EXPECT_EQ(upgrade.StatusBar1()->PanelText(1), QStringLiteral(" User Abort !! "));
    EXPECT_EQ(PortRecordAt(0).open, 0);
    EXPECT_EQ(ReadSetting("com"), "0");
}

}  // namespace
}  // namespace vorlan::test
