// The two main windows as the user first sees them, the port restored from
// the setting, and what their menus and double-clicks open.
#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <stdexcept>

#include "app/build_version.h"
#include "app/qt/panel_status_bar.h"
#include "app/qt/run_progress_bar.h"
#include "app/qt/updater_window.h"
#include "app/qt/upgrade_window.h"
#include "app/window_references.h"
#include "app/window_titles.h"
#include "engine/status_reporting.h"
#include "platform/settings_store.h"
#include "ports/port_selection.h"
#include "ports/port_setting.h"
#include "tests/desktop/window_fixture.h"
#include "tests/support/fake_desktop.h"

namespace vorlan::test {
namespace {

// Left edges of the panels, which follow from the widths before them.
std::vector<int> PanelEdges(const PanelStatusBar& bar) {
    std::vector<int> edges;
    for (int panel = 0; panel < bar.PanelCount(); ++panel) edges.push_back(bar.Panel(panel)->x());
    return edges;
}

QColor Background(const QWidget& widget) {
    return widget.palette().color(QPalette::Window);
}

using WindowStartTest = WindowTest;

TEST_F(WindowStartTest, UpgradeWindowAtStart) {
    SetBuildVersion("BRQc 01.00|06|00");
    UpgradeWindow upgrade;
    EXPECT_TRUE(IsUpgradeMode());
    EXPECT_EQ(upgrade.windowTitle().toStdString(),
              "Upgrade 1.0 -   BRQc 01.00|06|00   - Jan 11 2012");
    EXPECT_EQ(QCoreApplication::applicationName(), QStringLiteral("BRQc 01.00|06|00"));
    EXPECT_EQ(upgrade.centralWidget()->size(), QSize(606, 181));
    EXPECT_EQ(upgrade.Button1()->text(), QStringLiteral("START"));
    EXPECT_EQ(upgrade.Button2()->text(), QStringLiteral("STOP"));
    EXPECT_FALSE(upgrade.Button1()->isHidden());
    EXPECT_TRUE(upgrade.Button2()->isHidden());
    EXPECT_EQ(upgrade.Button1()->font().pixelSize(), 33);
    EXPECT_TRUE(upgrade.Button1()->font().bold());
    EXPECT_EQ(upgrade.Button1()->geometry(), QRect(175, 25, 249, 65));
    EXPECT_TRUE(upgrade.ProgressBar1()->Smooth());
    EXPECT_EQ(upgrade.SerialPort1()->text(), QStringLiteral("Serial Port"));
    EXPECT_EQ(PanelEdges(*upgrade.StatusBar1()), (std::vector<int>{0, 50, 180, 310, 450}));
    EXPECT_EQ(upgrade.StatusBar1()->PanelText(0), QStringLiteral("COM1"));
    EXPECT_EQ(DevicePanelIndex, -2);

    // The Updater window comes second, stays hidden, and greys the bar the
    // user sees.
    UpdaterWindow updater;
    EXPECT_EQ(Background(*upgrade.StatusBar1()), QColor(0x80, 0x80, 0x80));
    EXPECT_TRUE(upgrade.StatusBar1()->autoFillBackground());
    EXPECT_TRUE(IsUpgradeMode());
    EXPECT_FALSE(updater.isVisible());
}

TEST_F(WindowStartTest, UpdaterWindowAtStart) {
    SetBuildVersion("XYZ 01.00");
    UpdaterWindow updater;
    EXPECT_FALSE(IsUpgradeMode());
    EXPECT_EQ(updater.windowTitle().toStdString(), "Updater 2.7 - XYZ 01.00   [ Jan 11 2012 ]");
    EXPECT_EQ(UpdaterTitle(), "Updater 2.7 - XYZ 01.00   [ Jan 11 2012 ]");
    EXPECT_EQ(updater.centralWidget()->size(), QSize(511, 265));
    EXPECT_EQ(updater.Label1()->text(), QStringLiteral("XYZ 01.00"));
    EXPECT_EQ(updater.Label1()->font().pixelSize(), 40);
    EXPECT_EQ(updater.Label1()->font().family(), QStringLiteral("Times"));
    EXPECT_EQ(updater.Button1()->text(), QStringLiteral("&Update"));
    EXPECT_EQ(updater.Button2()->text(), QStringLiteral("&Stop"));
    EXPECT_FALSE(updater.Button1()->isHidden());
    EXPECT_TRUE(updater.Button2()->isHidden());
    for (QLabel* line : {updater.Label2(), updater.Label3(), updater.Label4()}) {
        EXPECT_TRUE(line->isHidden());
    }
    EXPECT_EQ(updater.Label2()->geometry(), QRect(13, 182, 484, 29));
    EXPECT_FALSE(updater.ProgressBar1()->Smooth());
    EXPECT_EQ(updater.S1()->text(), QStringLiteral("&Change port"));
    EXPECT_EQ(PanelEdges(*updater.StatusBar1()), (std::vector<int>{0, 50, 180, 280}));
    EXPECT_EQ(updater.StatusBar1()->PanelText(0), QStringLiteral("COM1"));
    EXPECT_EQ(Background(*updater.StatusBar1()), QColor(0x80, 0x80, 0x80));
    EXPECT_EQ(DevicePanelIndex, 2);
}

TEST_F(WindowStartTest, LogoFollowsTheBuildVersion) {
    struct Row {
        const char* version;
        bool first;
        bool second;
    };
    for (const Row& row :
         {Row{"KX700 2.0", false, false}, Row{"PLM 1.0", false, false},
          Row{"XYZ 01.00", false, true}, Row{"BRQc 01.00|06|00", false, true},
          Row{"KX12 1.0", true, false}, Row{"TELIX 3", true, false}, Row{"AB DT.1", true, false}}) {
        SCOPED_TRACE(row.version);
        SetBuildVersion(row.version);
        UpdaterWindow updater;
        EXPECT_EQ(!updater.Image1()->isHidden(), row.first);
        EXPECT_EQ(!updater.Image2()->isHidden(), row.second);
    }
}

TEST(PortIndexFromSetting, LeadingDecimalNumberKeptToSixteenBits) {
    // The last row is 10^20 - 1, whose low 16 bits are all ones.
    const std::pair<const char*, int> rows[] = {
        {"3", 3},          {"7abc", 7},
        {"abc", 0},        {"-1", -1},
        {"  +2", 2},       {"- 4", 0},
        {"65537", 1},      {"32768", -32768},
        {"-32769", 32767}, {"99999999999999999999", -1},
        {"", 0},           {"-", 0},
        {"COM5", 0},       {"65536", 0},
    };
    for (const auto& [text, index] : rows) {
        SCOPED_TRACE(text);
        EXPECT_EQ(PortIndexFromSetting(text), index);
    }
}

TEST_F(WindowStartTest, PortPanelShowsTheStoredPort) {
    const std::pair<const char*, const char*> rows[] = {
        {nullptr, "COM1"}, {"3", "COM4"}, {"7abc", "COM8"}, {"abc", "COM1"}, {"-1", "-----"}};
    for (const auto& [stored, shown] : rows) {
        SCOPED_TRACE(stored != nullptr ? stored : "(none)");
        WriteSettingsFile(stored != nullptr ? std::string("[General]\ncom=") + stored + "\n" : "");
        UpgradeWindow upgrade;
        EXPECT_EQ(upgrade.StatusBar1()->PanelText(0), QString::fromLatin1(shown));
        EXPECT_EQ(OpenedPortIndex(), static_cast<std::int16_t>(CurrentPortIndex() - 1));
    }
}

TEST_F(WindowStartTest, PortChoiceSurvivesARestart) {
    SetBuildVersion("XYZ 01.00");
    {
        UpdaterWindow updater;
        CurrentPortIndex() = 4;  // the user picked COM5
        updater.close();
    }
    EXPECT_EQ(ReadSetting("com"), "4");
    {
        UpdaterWindow updater;
        EXPECT_EQ(updater.StatusBar1()->PanelText(0), QStringLiteral("COM5"));
        CurrentPortIndex() = -1;
        updater.close();
    }
    EXPECT_EQ(ReadSetting("com"), "-1");
    UpdaterWindow updater;
    EXPECT_EQ(updater.StatusBar1()->PanelText(0), QStringLiteral("-----"));
}

TEST_F(WindowStartTest, ComThatIsNotTextEndsConstruction) {
    WriteSettingsFile("[General]\ncom=@ByteArray(4)\n");
    try {
        UpgradeWindow upgrade;
        ADD_FAILURE() << "constructed";
    } catch (const std::runtime_error& error) {
        EXPECT_EQ(error.what(), "Invalid data type for 'com' in " + SettingsFile());
    }
    // No reference to the half-built window is left behind.
    EXPECT_FALSE(IsUpgradeMode());
    EXPECT_THROW(UpdaterWindow{}, std::runtime_error);
    EXPECT_EQ(RegisteredUpdaterWindow(), nullptr);
}

TEST_F(WindowStartTest, ResultLineInWhiteOnTheReportedColour) {
    SetBuildVersion("XYZ 01.00");
    UpdaterWindow updater;
    ReportResult(" CHK Error !! ", kColourRed, 0);
    ReportResult(" Program Ok ", kColourGreen, 1);
    EXPECT_FALSE(updater.Label2()->isHidden());
    EXPECT_EQ(updater.Label2()->text(), QStringLiteral(" Program Ok "));
    EXPECT_EQ(Background(*updater.Label2()), QColor(0, 0x80, 0));
    EXPECT_EQ(updater.Label2()->palette().color(QPalette::WindowText), QColor(Qt::white));
    EXPECT_EQ(updater.focusWidget(), updater.Button1());

    ReportStatus(" Programming... ", kColourButtonFace);
    EXPECT_EQ(updater.Label2()->palette().color(QPalette::WindowText), QColor(Qt::black));
    EXPECT_EQ(Background(*updater.Label2()), updater.palette().color(QPalette::Button));
}

TEST_F(WindowStartTest, MenusAndDoubleClickOpenTheirWindows) {
    SetBuildVersion("XYZ 01.00");
    FakeDesktopWindow portSetup;
    FakeDesktopWindow versionList;
    Windows().portSetup = &portSetup;
    Windows().versionList = &versionList;
    UpdaterWindow updater;
    ReportResult(" not Response ", kColourRed, 0);
    updater.ShowIdentityLine("Found 258");

    updater.S1()->trigger();
    EXPECT_TRUE(updater.Label2()->isHidden());
    EXPECT_TRUE(updater.Label3()->isHidden());
    EXPECT_TRUE(portSetup.window.shown);

    updater.Label1DblClick();
    EXPECT_EQ(versionList.window.title, "XYZ 01.00   [ 09:38:55 - Jan 11 2012 ]");
    EXPECT_TRUE(versionList.window.shown);

    portSetup.HideWindow();
    UpgradeWindow upgrade;
    upgrade.SerialPort1()->trigger();
    EXPECT_TRUE(portSetup.window.shown);
}

}  // namespace
}  // namespace vorlan::test
