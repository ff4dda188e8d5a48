// The desktop program's life-cycle on a toolkit with no screen: the windows
// made in their order and destroyed in the reverse one, the main-window
// rule, closing, the error display and the unattended hooks.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/desktop_startup.h"
#include "app/window_references.h"
#include "engine/status_reporting.h"
#include "platform/settings_store.h"
#include "ports/port_selection.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/fake_desktop.h"

namespace vorlan::test {
namespace {

namespace fs = std::filesystem;

void SetEnvironment(const char* name, const std::string& value) {
#ifdef _WIN32
    _putenv_s(name, value.c_str());
#else
    if (value.empty()) {
        ::unsetenv(name);
    } else {
        ::setenv(name, value.c_str(), 1);
    }
#endif
}

class DesktopLifecycleTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("vorlan-lifecycle-" + std::to_string(std::rand()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(folder_);
        fs::permissions(folder_, fs::perms::owner_all);
        // Settings, port aliases and the single-instance lock of the test's own.
        SetEnvironment("VORLAN_SETTINGS_DIR", folder_.string());
        SetEnvironment("VORLAN_SETTINGS_KEY", "Software\\Quenta\\VorlanLifecycleTest");
        SetEnvironment("VORLAN_PORT_DIR", folder_.string());
        SetEnvironment("XDG_RUNTIME_DIR", folder_.string());
        ResetAllState();
        ResetPortSelection();
    }
    void TearDown() override {
        for (const char* name : {"VORLAN_SCREENSHOT_DIR", "VORLAN_SCREENSHOT_RUN",
                                 "VORLAN_TEST_DISMISS_MS", "VORLAN_SETTINGS_KEY"}) {
            SetEnvironment(name, "");
        }
        ResetAllState();
        ResetPortSelection();
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }

    int Run(const std::string& version) { return RunDesktopProgram(toolkit_, {"vorlan"}, version); }

    fs::path folder_;
    FakeToolkit toolkit_;
};

TEST_F(DesktopLifecycleTest, WindowsAreMadeInOrderAndDestroyedInReverse) {
    struct Row {
        const char* version;
        std::vector<std::string> made;
    };
    const Row rows[] = {
        {"BRQc 01.00|06|00", {"upgrade", "updater", "port setup", "version list"}},
        {"XYZ 01.00", {"updater", "port setup", "version list"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.version);
        toolkit_.log.clear();
        bool mainShown = false;
        bool otherShown = true;
        toolkit_.inLoop = [&] {
            FakeWindowState& main =
                toolkit_.upgrade ? toolkit_.upgrade->window : toolkit_.updater->window;
            mainShown = main.shown;
            otherShown = toolkit_.upgrade && toolkit_.updater->window.shown;
            EXPECT_EQ(IsUpgradeMode(), toolkit_.upgrade != nullptr);
            EXPECT_NE(Windows().portSetup, nullptr);
        };
        EXPECT_EQ(Run(row.version), 0);
        std::vector<std::string> expected;
        for (const std::string& name : row.made) expected.push_back("made " + name);
        expected.push_back("loop");
        expected.push_back("loop ended");
        for (auto name = row.made.rbegin(); name != row.made.rend(); ++name)
            expected.push_back("destroyed " + *name);
        EXPECT_EQ(toolkit_.log, expected);
        EXPECT_TRUE(mainShown);
        EXPECT_FALSE(otherShown);
        EXPECT_EQ(Windows().main, nullptr);
        EXPECT_EQ(Windows().portSetup, nullptr);
        EXPECT_EQ(Windows().upgrade, nullptr);
        EXPECT_FALSE(IsUpgradeMode());
    }
}

// In Upgrade mode the Updater window exists too, hidden: closing it stores
// the port but only the main window's close ends the program.
TEST_F(DesktopLifecycleTest, OnlyClosingTheMainWindowEndsTheLoop) {
    bool endedByUpdater = true;
    toolkit_.inLoop = [&] {
        CurrentPortIndex() = 6;
        Windows().updater->Closed();
        endedByUpdater = toolkit_.loopEnded;
        EXPECT_EQ(ReadSetting("com"), "6");
        CurrentPortIndex() = 4;
        Windows().upgrade->Closed();
    };
    EXPECT_EQ(Run("BRQc 01.00|06|00"), 0);
    EXPECT_FALSE(endedByUpdater);
    EXPECT_TRUE(toolkit_.loopEnded);
    EXPECT_EQ(ReadSetting("com"), "4");
}

TEST_F(DesktopLifecycleTest, AWindowThatCannotBeMadeEndsStartThroughTheErrorDisplay) {
    toolkit_.failingWindow = "port setup";
    EXPECT_EQ(Run("BRQc 01.00|06|00"), 0);
    EXPECT_EQ(toolkit_.errors, std::vector<std::string>{"port setup could not be made"});
    EXPECT_EQ(toolkit_.log, (std::vector<std::string>{"made upgrade", "made updater",
                                                      "destroyed updater", "destroyed upgrade"}));
    EXPECT_EQ(Windows().main, nullptr);
}

TEST_F(DesktopLifecycleTest, ScreenshotHookRunsOnceSavesEveryWindowAndEnds) {
    SetEnvironment("VORLAN_SCREENSHOT_DIR", (folder_ / "shots").string());
    SetEnvironment("VORLAN_SCREENSHOT_RUN", "1");
    SetEnvironment("VORLAN_TEST_DISMISS_MS", "20");
    toolkit_.openBoxes = {{"Setup", "Unable to configure the serial port"}};
    WriteSetting("com", "-1");  // no port: the run ends at once
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(Run("BRQc 01.00|06|00"), 0);
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_TRUE(toolkit_.loopEnded);
    EXPECT_TRUE(fs::is_directory(folder_ / "shots"));
    const std::string shots = (folder_ / "shots").string();
    for (const std::string& line : std::vector<std::string>{
             "vorlan: message box \"Setup\": Unable to configure the serial port\n", "vorlan: run ",
             "vorlan: saved " + shots + "/upgrade-window.img, client 606 x 181\n",
             "vorlan: saved " + shots + "/updater-window.img, client 511 x 265\n",
             "vorlan: saved " + shots + "/port-setup-window.img, client 0 x 0\n",
             "vorlan: saved " + shots + "/version-list-window.img, client 0 x 0\n"}) {
        EXPECT_NE(said.find(line), std::string::npos) << line << " in\n" << said;
    }
}

}  // namespace
}  // namespace vorlan::test
