#include "app/qt/port_setup_window.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "engine/status_reporting.h"
#include "platform/serial_backend.h"
#include "ports/port_selection.h"
#include "ports/serial_driver.h"
#include "tests/support/fake_views.h"
#include "window_grab.h"

namespace vorlan {
namespace {

namespace fs = std::filesystem;

// Refuses every open as an absent device would, and remembers what was asked;
// nothing else is ever reached.
class AbsentDevicesBackend : public SerialBackend {
public:
    SerialStatus OpenExclusive(const std::string& devicePath, int&) override {
        openedPaths.push_back(devicePath);
        return {SerialErrorKind::kNotFound, "no such device"};
    }
    SerialStatus GetLineSettings(int, LineSettings&) override { return {}; }
    SerialStatus SetLineSettings(int, const LineSettings&) override { return {}; }
    SerialStatus SetQueueSizes(int, std::uint32_t, std::uint32_t) override { return {}; }
    SerialStatus SetTimeouts(int, const PortTimeouts&) override { return {}; }
    SerialStatus Write(int, const std::uint8_t*, std::size_t, std::uint32_t) override { return {}; }
    SerialStatus DrainOutput(int) override { return {}; }
    SerialStatus ReadNonBlocking(int, std::uint8_t*, std::size_t, std::size_t& n) override {
        n = 0;
        return {};
    }
    bool WaitReadable(int, int) override { return false; }
    SerialStatus SetModemLine(int, ModemLineCall) override { return {}; }
    SerialStatus SetLowLatency(int, bool, bool&) override { return {}; }
    bool StillNamedBy(int, const std::string&) override { return false; }
    void Close(int) override {}

    std::vector<std::string> openedPaths;
};

class PortSetupWindowTest : public testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "vorlan-dialogs-sys-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        sysfs_ = pattern;
        CloseAllPorts();
        SetSerialBackend(&backend_);
        ResetPortSelection();
        ResetStatusReporting();
        RegisterUpdaterWindow(&updater_);
    }
    void TearDown() override {
        CloseAllPorts();
        SetSerialBackend(nullptr);
        ResetPortSelection();
        ResetStatusReporting();
        std::error_code ignored;
        fs::remove_all(sysfs_, ignored);
    }

    // A serial tty of the fake machine, as the kernel shows a real UART.
    void AddUart(const std::string& tty) {
        const fs::path folder = sysfs_ / "class" / "tty" / tty;
        fs::create_directories(folder / "device");
        std::ofstream(folder / "type") << "4\n";
    }
    void RemoveUart(const std::string& tty) { fs::remove_all(sysfs_ / "class" / "tty" / tty); }

    // The port is chosen and was opened (the state after a search).
    void SelectPort(std::int16_t index) {
        CurrentPortIndex() = index;
        OpenedPortIndex() = index;
    }

    // Fills the lists by hand, for port names the enumeration never gives.
    static void PutEntries(PortSetupWindow& window, const std::vector<std::string>& names) {
        std::vector<std::string> friendly;
        for (const std::string& name : names) friendly.push_back("Port " + name);
        window.Behaviour().SetEntries(friendly, names);
    }

    fs::path sysfs_;
    AbsentDevicesBackend backend_;
    test::FakeUpdaterWindow updater_;
};

TEST_F(PortSetupWindowTest, FormAndControlsStandWhereTheDesignPutsThem) {
    PortSetupWindow window(nullptr, sysfs_.string());
    EXPECT_EQ(window.windowTitle(), "Setup");
    EXPECT_EQ(window.size(), QSize(456, 94));
    EXPECT_FALSE(window.isModal());
    EXPECT_EQ(window.Label1->text(), "Port :");
    EXPECT_EQ(window.Button1->text(), "&Ok");
    EXPECT_EQ(window.Button2->text(), "&Cancel");
    const std::pair<QWidget*, QRect> places[] = {
        {window.ComboBox1, {41, 16, 408, 21}},
        {window.Button1, {293, 56, 75, 25}},
        {window.Button2, {373, 56, 75, 25}},
    };
    for (const auto& [control, place] : places) EXPECT_EQ(control->geometry(), place);
    // The caption may grow with its face, but not under the list.
    EXPECT_EQ(window.Label1->pos(), QPoint(9, 19));
    EXPECT_LE(window.Label1->geometry().right(), window.ComboBox1->x());
    EXPECT_EQ(window.Button1->nextInFocusChain(), window.Button2);
    EXPECT_EQ(window.Button2->nextInFocusChain(), window.ComboBox1);
    // Before the first showing the list holds the design-time entries.
    EXPECT_EQ(window.ComboBox1->count(), 12);
    EXPECT_EQ(window.ComboBox1->currentText(), "COM1");
}

TEST_F(PortSetupWindowTest, ShowingListsThePortsPresentAndPreselectsTheCurrentOne) {
    AddUart("ttyS0");
    AddUart("ttyS4");
    SelectPort(4);
    PortSetupWindow window(nullptr, sysfs_.string());
    window.show();

    ASSERT_EQ(window.ComboBox1->count(), 2);
    EXPECT_EQ(window.ComboBox1->itemText(0), "Communications Port - /dev/ttyS0 (COM1)");
    EXPECT_EQ(window.ComboBox1->itemText(1), "Communications Port - /dev/ttyS4 (COM5)");
    EXPECT_EQ(window.Behaviour().PortNames(), (std::vector<std::string>{"COM1", "COM5"}));
    EXPECT_EQ(window.ComboBox1->currentIndex(), 1);
    SaveWindowGrab(window, "port_setup_window");

    // Each showing reflects the ports present then, without repeating entries.
    window.Button2->click();
    RemoveUart("ttyS4");
    AddUart("ttyS2");
    window.show();
    EXPECT_EQ(window.Behaviour().PortNames(), (std::vector<std::string>{"COM1", "COM3"}));
    // The current port is gone: the first entry stands in for it.
    EXPECT_EQ(window.ComboBox1->currentIndex(), 0);
    EXPECT_EQ(CurrentPortIndex(), 4);
}

TEST_F(PortSetupWindowTest, OkWithTheSelectionUnchangedDoesNotReopen) {
    AddUart("ttyS0");
    AddUart("ttyS4");
    CurrentPortIndex() = 4;
    OpenedPortIndex() = 3;  // as at start: the next search would open it
    PortSetupWindow window(nullptr, sysfs_.string());
    window.show();

    window.Button1->click();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(CurrentPortIndex(), 4);
    EXPECT_EQ(OpenedPortIndex(), 3);
    EXPECT_TRUE(backend_.openedPaths.empty());
    EXPECT_EQ(updater_.resultWrites, 0);
}

TEST_F(PortSetupWindowTest, OkWithAnotherEntryMakesItCurrentAndReopensIt) {
    AddUart("ttyS0");
    AddUart("ttyS4");
    SelectPort(4);
    PortSetupWindow window(nullptr, sysfs_.string());
    window.show();

    window.ComboBox1->setCurrentIndex(0);
    window.Button1->click();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(CurrentPortIndex(), 0);
    EXPECT_EQ(OpenedPortIndex(), 0);
    EXPECT_EQ(backend_.openedPaths, std::vector<std::string>{"/dev/ttyS0"});
    // The fake machine has no such device, so the reopen says so.
    EXPECT_EQ(updater_.resultText, "Invalid Port Com");

    // Shown again, the new choice is preselected.
    window.show();
    EXPECT_EQ(window.ComboBox1->currentIndex(), 0);
}

TEST_F(PortSetupWindowTest, CancelKeepsTheCurrentPortAndReselectsIt) {
    AddUart("ttyS0");
    AddUart("ttyS4");
    SelectPort(4);
    PortSetupWindow window(nullptr, sysfs_.string());
    window.show();

    window.ComboBox1->setCurrentIndex(0);
    window.Button2->click();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.ComboBox1->currentIndex(), 1);
    EXPECT_EQ(CurrentPortIndex(), 4);
    EXPECT_TRUE(backend_.openedPaths.empty());
}

TEST_F(PortSetupWindowTest, OkWithNoPortsPresentChoosesCom1) {
    SelectPort(4);
    PortSetupWindow window(nullptr, sysfs_.string());
    window.show();
    ASSERT_EQ(window.ComboBox1->count(), 0);
    EXPECT_EQ(window.ComboBox1->currentIndex(), -1);

    window.Button1->click();
    EXPECT_EQ(CurrentPortIndex(), 0);
    EXPECT_EQ(backend_.openedPaths, std::vector<std::string>{"/dev/ttyS0"});
}

TEST_F(PortSetupWindowTest, OkOnALowerCaseNameChoosesNoPort) {
    SelectPort(1);
    PortSetupWindow window(nullptr, sysfs_.string());
    PutEntries(window, {"COM2", "com3"});
    window.ComboBox1->setCurrentIndex(1);

    window.Button1->click();
    EXPECT_EQ(CurrentPortIndex(), -1);
    EXPECT_EQ(PortNameOfIndex(CurrentPortIndex()), "-----");
    EXPECT_EQ(updater_.resultText, "Invalid Port Com");
}

}  // namespace
}  // namespace vorlan
