// The Win32 windows as the user first sees them: titles, controls, panels,
// the port restored from the registry, the logo, the secondary windows and
// what the menus and the product label open.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <vector>

#include "app/build_version.h"
#include "app/win32/port_setup_window.h"
#include "app/win32/updater_window.h"
#include "app/win32/upgrade_window.h"
#include "app/win32/version_list_window.h"
#include "app/window_references.h"
#include "catalogue/version_list.h"
#include "engine/status_reporting.h"
#include "platform/settings_store.h"
#include "ports/port_selection.h"
#include "tests/win32_windows/win32_window_fixture.h"

namespace vorlan::test {
namespace {

using Win32StartTest = Win32WindowTest;

std::string MenuText(HWND window) {
    wchar_t text[64] = {};
    GetMenuStringW(GetMenu(window), 0, text, 64, MF_BYPOSITION);
    return win32::Narrow(text);
}

std::vector<std::string> ListLines(HWND list) {
    std::vector<std::string> lines;
    const auto count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::wstring line(static_cast<std::size_t>(SendMessageW(list, LB_GETTEXTLEN, i, 0)), L'\0');
        SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line.data()));
        lines.push_back(win32::Narrow(line));
    }
    return lines;
}

TEST_F(Win32StartTest, UpgradeWindowAtStart) {
    SetBuildVersion("BRQc 01.00|06|00");
    StoreCom("3");
    win32::UpgradeWindow upgrade;
    EXPECT_TRUE(IsUpgradeMode());
    EXPECT_EQ(Text(upgrade.Handle()), "Upgrade 1.0 -   BRQc 01.00|06|00   - Jan 11 2012");
    EXPECT_EQ(ClientSize(upgrade.Handle()).cx, 606);
    EXPECT_EQ(ClientSize(upgrade.Handle()).cy, 181);
    EXPECT_EQ(MenuText(upgrade.Handle()), "Serial Port");
    EXPECT_EQ(Text(upgrade.Button1()), "START");
    EXPECT_EQ(Text(upgrade.Button2()), "STOP");
    EXPECT_TRUE(Shown(upgrade.Button1()));
    EXPECT_FALSE(Shown(upgrade.Button2()));
    EXPECT_TRUE(upgrade.ProgressBar1().Smooth());
    EXPECT_EQ(upgrade.StatusBar1().PanelEdges(), (std::vector<int>{50, 180, 310, 450, -1}));
    EXPECT_EQ(upgrade.StatusBar1().PanelText(0), "COM4");
    EXPECT_EQ(DevicePanelIndex, -2);
    // The buttons lie over the panel as its siblings, so they get the clicks.
    EXPECT_EQ(GetParent(upgrade.Button1()), upgrade.Handle());
    EXPECT_EQ(GetParent(upgrade.Panel1()), upgrade.Handle());

    win32::UpdaterWindow updater;
    EXPECT_TRUE(IsUpgradeMode());
    EXPECT_FALSE(updater.IsShown());
    EXPECT_EQ(SendMessageW(upgrade.StatusBar1().Handle(), SB_SETBKCOLOR, 0, CLR_DEFAULT),
              static_cast<LRESULT>(RGB(0x80, 0x80, 0x80)));
}

TEST_F(Win32StartTest, UpdaterWindowAtStart) {
    SetBuildVersion("XYZ 01.00");
    win32::UpdaterWindow updater;
    EXPECT_FALSE(IsUpgradeMode());
    EXPECT_EQ(Text(updater.Handle()), "Updater 2.7 - XYZ 01.00   [ Jan 11 2012 ]");
    EXPECT_EQ(ClientSize(updater.Handle()).cx, 511);
    EXPECT_EQ(ClientSize(updater.Handle()).cy, 265);
    EXPECT_EQ(MenuText(updater.Handle()), "&Change port");
    EXPECT_EQ(Text(updater.Label1()), "XYZ 01.00");
    EXPECT_EQ(Text(updater.Button1()), "&Update");
    EXPECT_EQ(Text(updater.Button2()), "&Stop");
    EXPECT_TRUE(Shown(updater.Button1()));
    EXPECT_FALSE(Shown(updater.Button2()));
    for (HWND line : {updater.Label2(), updater.Label3(), updater.Label4()})
        EXPECT_FALSE(Shown(line));
    EXPECT_FALSE(updater.ProgressBar1().Smooth());
    EXPECT_EQ(updater.StatusBar1().PanelEdges(), (std::vector<int>{50, 180, 280, -1}));
    EXPECT_EQ(updater.StatusBar1().PanelText(0), "COM1");
    // The logo: "XYZ" has none of the first logo's letters.
    EXPECT_FALSE(Shown(updater.Image1()));
    EXPECT_TRUE(Shown(updater.Image2()));

    ReportResult(" CHK Error !! ", kColourRed, 0);
    ReportResult(" Program Ok ", kColourGreen, 1);
    EXPECT_TRUE(Shown(updater.Label2()));
    EXPECT_EQ(Text(updater.Label2()), " Program Ok ");
    EXPECT_EQ(updater.ResultBackground(), RGB(0, 0x80, 0));
    EXPECT_EQ(updater.ResultTextColour(), RGB(0xFF, 0xFF, 0xFF));
    ReportStatus(" Programming... ", kColourButtonFace);
    EXPECT_EQ(updater.ResultTextColour(), RGB(0, 0, 0));
    EXPECT_EQ(updater.ResultBackground(), GetSysColor(COLOR_BTNFACE));
}

TEST_F(Win32StartTest, ClosingStoresThePort) {
    SetBuildVersion("XYZ 01.00");
    {
        win32::UpdaterWindow updater;
        CurrentPortIndex() = 4;
        SendMessageW(updater.Handle(), WM_CLOSE, 0, 0);
        EXPECT_FALSE(updater.IsShown());
    }
    EXPECT_EQ(ReadSetting("com"), "4");
    win32::UpgradeWindow upgrade;
    EXPECT_EQ(upgrade.StatusBar1().PanelText(0), "COM5");
}

TEST_F(Win32StartTest, MenusAndProductLabelOpenTheirWindows) {
    SetBuildVersion("XYZ 01.00");
    win32::PortSetupWindow portSetup;
    win32::VersionListWindow versionList;
    Windows().portSetup = &portSetup;
    Windows().versionList = &versionList;
    EXPECT_EQ(Text(portSetup.Handle()), "Setup");
    EXPECT_EQ(ClientSize(portSetup.Handle()).cx, 456);
    EXPECT_EQ(ClientSize(portSetup.Handle()).cy, 94);
    // Before the first showing: the design's entries.
    EXPECT_EQ(SendMessageW(portSetup.ComboBox1(), CB_GETCOUNT, 0, 0), 12);

    win32::UpdaterWindow updater;
    ReportResult(" not Response ", kColourRed, 0);
    updater.ShowIdentityLine("Found 258");
    SendMessageW(updater.Handle(), WM_COMMAND, MAKEWPARAM(win32::kMenuItem, 0), 0);
    EXPECT_FALSE(Shown(updater.Label2()));
    EXPECT_FALSE(Shown(updater.Label3()));
    EXPECT_TRUE(portSetup.IsShown());
    // Each showing lists the ports present, entry k naming port k.
    EXPECT_EQ(SendMessageW(portSetup.ComboBox1(), CB_GETCOUNT, 0, 0),
              static_cast<LRESULT>(portSetup.Behaviour().PortNames().size()));
    Click(portSetup.Button2());
    EXPECT_FALSE(portSetup.IsShown());

    SendMessageW(updater.Handle(), WM_COMMAND, MAKEWPARAM(win32::kLabel1, STN_DBLCLK),
                 reinterpret_cast<LPARAM>(updater.Label1()));
    EXPECT_EQ(Text(versionList.Handle()), "XYZ 01.00   [ 09:38:55 - Jan 11 2012 ]");
    EXPECT_TRUE(versionList.IsShown());
    EXPECT_EQ(ListLines(versionList.ListBox1()), FillVersionList());
    // Shown again, the list is rebuilt, not doubled.
    Click(versionList.Button1());
    ShowWindow(versionList.Handle(), SW_SHOW);
    EXPECT_EQ(ListLines(versionList.ListBox1()).size(), FillVersionList().size());
}

TEST_F(Win32StartTest, OkWithNothingListedChoosesComOne) {
    win32::PortSetupWindow portSetup;
    CurrentPortIndex() = 6;
    SendMessageW(portSetup.ComboBox1(), CB_RESETCONTENT, 0, 0);
    Click(portSetup.Button1());
    EXPECT_EQ(CurrentPortIndex(), 0);
}

}  // namespace
}  // namespace vorlan::test
