// What the desktop program decides without a toolkit, as tables.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "app/logo.h"
#include "app/port_setup_rules.h"
#include "app/start_click_guard.h"
#include "ports/port_selection.h"
#include "ports/serial_driver.h"
#include "tests/support/fake_desktop.h"

namespace vorlan {
namespace {

TEST(LogoChoice, FollowsTheBuildVersion) {
    const std::pair<const char*, LogoChoice> rows[] = {
        {"KX700 2.0", LogoChoice::kNone},     {"PLM 1.0", LogoChoice::kNone},
        {"XYZ 01.00", LogoChoice::kWordmark}, {"BRQc 01.00|06|00", LogoChoice::kWordmark},
        {"KX12 1.0", LogoChoice::kChip},      {"TELIX 3", LogoChoice::kChip},
        {"AB DT.1", LogoChoice::kChip},       {"kx700 plm", LogoChoice::kWordmark},
    };
    for (const auto& [version, logo] : rows) {
        SCOPED_TRACE(version);
        EXPECT_EQ(ChooseLogo(version), logo);
    }
}

TEST(LogoShapes, ChipStaysInsideItsSquare) {
    for (const int size : {16, 45, 256}) {
        const LogoRect square = ChipLogoSquare(size, size);
        const ChipShape chip = ChipIn(square);
        ASSERT_EQ(chip.pins.size(), 10U);
        for (const LogoRect& pin : chip.pins) {
            EXPECT_GE(pin.left, square.left - 1e-9);
            EXPECT_LE(pin.left + pin.width, square.left + square.width + 1e-9);
        }
        for (const LogoPoint& point : chip.arrow) {
            EXPECT_GT(point.x, chip.body.left);
            EXPECT_LT(point.y, chip.body.top + chip.body.height);
        }
    }
}

TEST(PortSetupRules, PositionsAndPortIndexes) {
    const std::vector<std::string> names = {"COM1", "COM5", "com3", "COM12", "COMX"};
    EXPECT_EQ(IndexOfPort(names, 4), 1);
    EXPECT_EQ(IndexOfPort(names, 2), 2);  // any letter case
    EXPECT_EQ(IndexOfPort(names, 7), 0);  // not listed
    EXPECT_EQ(IndexOfPort({}, 0), 0);
    // "COMX" has no digits after the letters: 0, minus 1.
    const std::pair<int, int> entries[] = {{0, 0},  {1, 4},  {2, -1}, {3, 11},
                                           {4, -1}, {-1, 0}, {9, 0}};
    for (const auto& [position, index] : entries) {
        SCOPED_TRACE(position);
        EXPECT_EQ(PortIndexOfEntry(names, static_cast<std::int16_t>(position)), index);
    }
    // The number stands between the upper-case letters C, O and M.
    const std::pair<const char*, int> numbers[] = {
        {"COM256", 255}, {"Com3", -1},  {"COM", 0},
        {"CMO7", 6},     {"COM1M2", 0}, {"COM 9", 8},
        {"COM-5", -6},   {"COM0", -1},  {"COM99999999999", 32767},
    };
    for (const auto& [name, index] : numbers) {
        SCOPED_TRACE(name);
        EXPECT_EQ(PortIndexOfEntry({"COM7", name}, 1), index);
    }
}

TEST(PortSetupRules, OkKeepsAnUnchangedChoiceAndCancelFindsTheCurrentPort) {
    ResetPortSelection();
    const std::vector<std::string> names = {"COM1", "COM5"};
    CurrentPortIndex() = 4;
    OpenedPortIndex() = 4;
    ConfirmPortChoice(names, 1);  // the same port: no reopen
    EXPECT_EQ(OpenedPortIndex(), 4);
    EXPECT_EQ(PositionOfCurrentPort(names), 1);
    ResetPortSelection();
}

// The window's flow on fake controls: the design-time entries, Ok with
// another entry, Cancel with a changed selection; the window hides after each.
TEST(PortSetupFlow, OkMakesTheChoiceCurrentAndCancelSelectsTheCurrentPortAgain) {
    ResetPortSelection();
    test::FakePortSetupControls controls;
    PortSetupBehaviour behaviour(controls, "/nonexistent");
    EXPECT_EQ(controls.entries.size(), 12U);
    EXPECT_EQ(controls.selected, 0);

    // Numbers past the fixed scheme: no device of this machine is opened.
    behaviour.SetEntries({"Port COM150", "Port COM155"}, {"COM150", "COM155"});
    CurrentPortIndex() = 154;
    OpenedPortIndex() = 154;
    controls.ShowWindow();
    controls.SelectEntry(0);
    behaviour.Button2Click();
    EXPECT_EQ(controls.selected, 1);
    EXPECT_FALSE(controls.window.shown);
    EXPECT_EQ(CurrentPortIndex(), 154);

    controls.ShowWindow();
    controls.SelectEntry(0);
    behaviour.Button1Click();
    EXPECT_EQ(CurrentPortIndex(), 149);
    EXPECT_EQ(OpenedPortIndex(), 149);  // reopened
    EXPECT_FALSE(controls.window.shown);
    CloseAllPorts();
    ResetPortSelection();
}

int gDoubleClickMs = 0;
int DoubleClickMs() {
    return gDoubleClickMs;
}

TEST(StartClickGuard, OnlyAStopPressRightAfterStartIsItsTwin) {
    StartClickGuard guard(DoubleClickMs);
    gDoubleClickMs = 60'000;
    EXPECT_FALSE(guard.IsSecondClickOfStart());  // no run began
    guard.RunStarting();
    EXPECT_TRUE(guard.IsSecondClickOfStart());
    gDoubleClickMs = 1;
    std::this_thread::sleep_for(std::chrono::milliseconds(3));
    EXPECT_FALSE(guard.IsSecondClickOfStart());
}

}  // namespace
}  // namespace vorlan
