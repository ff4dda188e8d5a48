// Whole runs through the Win32 main windows' start buttons against the
// boot-loader model, with the messages pumped in every pause as the
// program's own pause pumps them.
#include "app/build_version.h"
#include "app/win32/updater_window.h"
#include "app/win32/upgrade_window.h"
#include "engine/update_run.h"
#include "tests/win32_windows/win32_window_fixture.h"

namespace vorlan::test {
namespace {

using Win32RunTest = Win32WindowTest;

TEST_F(Win32RunTest, StartProgramsTheBoardAndEndsWithStartFocused) {
    BindModel();
    win32::UpgradeWindow upgrade;
    ShowWindow(upgrade.Handle(), SW_SHOW);
    Click(upgrade.Button1());

    EXPECT_EQ(upgrade.StatusBar1().PanelText(1), "Program OK");
    EXPECT_EQ(upgrade.StatusBar1().PanelText(2), "");
    EXPECT_TRUE(Shown(upgrade.Button1()));
    EXPECT_FALSE(Shown(upgrade.Button2()));
    EXPECT_EQ(GetFocus(), upgrade.Button1());
    EXPECT_GT(model_->WriteCount(), 0U);
    EXPECT_FALSE(IsRunActive());
}

TEST_F(Win32RunTest, StopGivesStartBackAtOnceAndTheRunEndsAsAbort) {
    board::BoardConfig late = DemoBoard();
    late.answerSearchFromMs = 60'000;  // never answers within the search
    BindModel(late);
    // In virtual time every stop press would be the start click's twin.
    const UINT doubleClickMs = GetDoubleClickTime();
    SetDoubleClickTime(1);
    win32::UpgradeWindow upgrade;
    bool startBackAtOnce = false;
    clock_.At(30, [&] {
        EXPECT_FALSE(Shown(upgrade.Button1()));
        Sleep(5);  // past the 1 ms interval: a stop press of its own
        Click(upgrade.Button2());
        startBackAtOnce = Shown(upgrade.Button1()) && !Shown(upgrade.Button2());
    });
    Click(upgrade.Button1());
    SetDoubleClickTime(doubleClickMs);
    EXPECT_TRUE(startBackAtOnce);
    EXPECT_EQ(upgrade.StatusBar1().PanelText(1), " User Abort !! ");
}

TEST_F(Win32RunTest, UpdaterRunEndsGreenWithTheIdentity) {
    SetBuildVersion("XYZ 01.00");
    BindModel();
    win32::UpdaterWindow updater;
    Click(updater.Button1());
    EXPECT_EQ(Text(updater.Label2()), " Program Ok ");
    EXPECT_EQ(updater.ResultBackground(), RGB(0, 0x80, 0));
    EXPECT_EQ(updater.StatusBar1().PanelText(3), "Loaded 32256 bytes (0000 to 7E00)");
    EXPECT_TRUE(Shown(updater.Label3()));
    EXPECT_FALSE(Text(updater.Label3()).empty());
    EXPECT_TRUE(Shown(updater.Button1()));
    EXPECT_FALSE(Shown(updater.Button2()));
}

}  // namespace
}  // namespace vorlan::test
