// The user's port: reopened only when the choice changed, reported when it
// cannot be used, shown on the status bar.
#include "ports/port_selection.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <string>

#include "engine/status_reporting.h"
#include "platform/com_naming.h"
#include "ports/serial_driver.h"
#include "tests/ports/fake_serial_backend.h"
#include "tests/support/fake_views.h"

namespace vorlan {
namespace {

using test::FakeSerialBackend;

class PortSelectionTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("VORLAN_PORT_DIR", "/nonexistent/vorlan-ports-test", 1);
        ResetStatusReporting();
        ResetPortSelection();
        SetSerialBackend(&os);
        SetDriverMessageSink([](const std::string&, const std::string&) {});
        RegisterUpdaterWindow(&window);
        RegisterStatusNotifier(&notifier);
    }
    void TearDown() override {
        CloseAllPorts();
        SetSerialBackend(nullptr);
        SetDriverMessageSink(nullptr);
        ResetStatusReporting();
        ResetPortSelection();
        unsetenv("VORLAN_PORT_DIR");
    }
    // As a main window does at start with a stored port.
    void StartWith(std::int16_t stored) {
        CurrentPortIndex() = stored;
        OpenedPortIndex() = static_cast<std::int16_t>(stored - 1);
    }
    std::ptrdiff_t Opens(const std::string& path) const {
        return std::count(os.openedPaths.begin(), os.openedPaths.end(), path);
    }

    FakeSerialBackend os;
    test::FakeUpdaterWindow window;
    test::FakeNotifier notifier;
};

TEST_F(PortSelectionTest, FirstReopenOpensTheStoredPortWithTheBootLoaderLine) {
    StartWith(3);
    test::FakeStatusBar bar;
    ShowPortOnStatusBar(bar);
    EXPECT_EQ(bar.Panel(0), "COM4");
    ReopenSelectedPort();
    EXPECT_EQ(os.openedPaths, std::vector<std::string>{DevicePathOfCom(4)});
    EXPECT_EQ(os.appliedLine.baud, 115200u);
    EXPECT_EQ(os.appliedLine.dataBits, 8);
    EXPECT_EQ(os.appliedLine.parity, 0);
    EXPECT_EQ(os.appliedLine.stopBits, 2);
    const std::string h = " " + std::to_string(PortRecordAt(3).handle);
    auto clear = std::find(os.calls.begin(), os.calls.end(), "clrdtr" + h);
    ASSERT_NE(clear, os.calls.end());
    EXPECT_EQ(*(clear + 1), "clrrts" + h);
    EXPECT_EQ(OpenedPortIndex(), 3);
    EXPECT_TRUE(notifier.codes.empty());
    EXPECT_EQ(window.resultWrites, 0);
}

TEST_F(PortSelectionTest, ReopensOnlyWhenTheChoiceChangedAndKeepsTheOldPortOpen) {
    StartWith(2);
    ReopenSelectedPort();  // COM3
    ReopenSelectedPort();  // unchanged: nothing
    EXPECT_EQ(Opens(DevicePathOfCom(3)), 1);

    CurrentPortIndex() = 4;  // COM5
    ReopenSelectedPort();
    EXPECT_EQ(PortRecordAt(2).open, 1);  // COM3 still held
    EXPECT_EQ(PortRecordAt(4).open, 1);

    CurrentPortIndex() = 2;  // back to COM3: closed and opened again
    const int oldHandle = PortRecordAt(2).handle;
    ReopenSelectedPort();
    EXPECT_EQ(Opens(DevicePathOfCom(3)), 2);
    EXPECT_EQ(os.heldHandles.count(oldHandle), 0u);
    EXPECT_EQ(os.heldHandles.size(), 2u);
    EXPECT_TRUE(notifier.codes.empty());
}

// An adapter plugged in after a failed start is found by the next run; the
// person is told why the port could not be used beside "Invalid Port Com".
TEST_F(PortSelectionTest, APortThatCannotBeOpenedIsReportedWithWhyAndTriedAgain) {
    std::vector<std::string> problems;
    SetPortProblemSink([&](const std::string& problem) { problems.push_back(problem); });
    os.refuse = {FakeSerialBackend::Step::kOpen};
    StartWith(5);
    ReopenSelectedPort();
    EXPECT_EQ(notifier.codes, std::vector<std::uint8_t>{0});
    EXPECT_EQ(window.resultText, "Invalid Port Com");
    EXPECT_EQ(window.resultBackground, kColourRed);
    // Windows has no alias folder.
    const std::string where =
        PortAliasFolder().empty() ? "" : " (no link com6 in /nonexistent/vorlan-ports-test)";
    EXPECT_EQ(problems,
              std::vector<std::string>{"COM6 is " + DevicePathOfCom(6) + where + ": busy"});

    os.refuse.clear();
    ReopenSelectedPort();  // same choice, nothing open: tried again
    EXPECT_EQ(os.openedPaths.size(), 2u);
    EXPECT_EQ(notifier.codes.size(), 1u);
    EXPECT_EQ(problems.back(), "");
    SelectedSerialPort port;
    EXPECT_EQ(port.Check(), 0);
}

// Unplugged and plugged in again, or the emulator restarted: the next run
// opens the port anew instead of searching on a dead line for ever.
TEST_F(PortSelectionTest, APortWhoseDeviceWentAwayIsOpenedAgain) {
    StartWith(2);
    ReopenSelectedPort();
    std::uint8_t buffer[16];
    os.hungUp = true;
    EXPECT_EQ(ReadPort(2, buffer, 16), 0);
    os.hungUp = false;
    ReopenSelectedPort();
    os.renamed.insert(PortRecordAt(2).handle);  // a new node under the same name
    ReopenSelectedPort();
    ReopenSelectedPort();  // present: left alone
    EXPECT_EQ(Opens(DevicePathOfCom(3)), 3);
    EXPECT_EQ(os.heldHandles, std::set<int>{PortRecordAt(2).handle});
    EXPECT_TRUE(notifier.codes.empty());
}

TEST_F(PortSelectionTest, NoPortChosen) {
    StartWith(-1);
    test::FakeStatusBar bar;
    ShowPortOnStatusBar(bar);
    EXPECT_EQ(bar.Panel(0), "-----");
    EXPECT_EQ(PortNameOfIndex(256), "COM257");
    ReopenSelectedPort();
    EXPECT_TRUE(os.openedPaths.empty());
    EXPECT_EQ(window.resultText, "Invalid Port Com");
    EXPECT_EQ(notifier.codes, std::vector<std::uint8_t>{0});
    EXPECT_EQ(DescribePortProblem(-1, {}), "no port is chosen");
}

TEST_F(PortSelectionTest, TheEnginesPortFollowsTheCurrentIndex) {
    StartWith(0);
    SelectedSerialPort port;
    port.ReopenSelected();
    CurrentPortIndex() = 1;  // chosen, not yet reopened
    EXPECT_EQ(port.Check(), -2);
    CurrentPortIndex() = 0;
    EXPECT_EQ(port.Check(), 0);
    const std::uint8_t search = 0xC2;
    EXPECT_EQ(port.Write(&search, 1), 2);
    EXPECT_EQ(os.written, std::vector<std::uint8_t>{0xC2});
    os.readSizes = {7};
    std::uint8_t buffer[3072];
    EXPECT_EQ(port.Read(buffer, 3072), 7);
    os.readSizes = {9, 9};
    port.Drain();
    EXPECT_TRUE(os.readSizes.empty());
}

}  // namespace
}  // namespace vorlan
