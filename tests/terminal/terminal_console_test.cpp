// What vorlan-flash puts on the terminal: the texts of a run line by line, the
// progress bar only on a terminal, and the views that feed them.
#include "terminal/terminal_console.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "engine/status_reporting.h"
#include "terminal/terminal_views.h"

namespace vorlan::flash {
namespace {

// A console writing into a private file, on a hand-driven clock and byte
// count. Binary, so a line ends in "\n" on every system.
class ConsoleTest : public ::testing::Test {
protected:
    void SetUp() override { ResetStatusReporting(); }
    void TearDown() override {
        if (stream_ != nullptr) {
            std::fclose(stream_);
            std::filesystem::remove(path_);
        }
        ResetStatusReporting();
    }

    TerminalConsole& Console(bool drawBar) {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = std::filesystem::temp_directory_path() /
                ("vorlan-console-" + std::string(test->name()) + "-" +
                 std::to_string(std::random_device{}()));
        stream_ = std::fopen(path_.string().c_str(), "w+b");
        console_.emplace(
            stream_, drawBar, [this] { return seconds_; }, [this] { return bytes_; });
        return *console_;
    }
    std::string Output() {
        std::fflush(stream_);
        std::ifstream in(path_, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    double seconds_ = 0;
    std::uint64_t bytes_ = 0;

private:
    std::filesystem::path path_;
    std::FILE* stream_ = nullptr;
    std::optional<TerminalConsole> console_;
};

TEST_F(ConsoleTest, EachTextOnItsOwnLineWithImmediateRepeatsPrintedOnce) {
    TerminalConsole& console = Console(false);
    for (int i = 0; i < 100; ++i) {
        console.PrintLine("Search Device");
    }
    console.PrintLine("");
    console.PrintLine("Entry in PrgMode");
    console.PrintLine("Port COM3");
    console.PrintLine(" Programming... ");
    console.PrintLine("Search Device");
    EXPECT_EQ(Output(),
              "Search Device\nEntry in PrgMode\nPort COM3\n Programming... \nSearch Device\n");
}

TEST_F(ConsoleTest, NoBarWhenNotATerminal) {
    TerminalConsole& console = Console(false);
    console.SetBarMaximum(100);
    seconds_ = 1;
    console.SetBarPosition(50);
    console.PrintLine("Fix Program");
    EXPECT_EQ(Output(), "Fix Program\n");
}

TEST_F(ConsoleTest, BarShowsRateAndTimeLeftAndMakesWayForTexts) {
    TerminalConsole& console = Console(true);
    console.SetBarMaximum(32256);
    seconds_ = 2;
    bytes_ = 23040;
    console.SetBarPosition(8064);  // a quarter in 2 s: 6 s left
    EXPECT_EQ(console.BarText(), "[#######.......................]  25%  11.5 kB/s  0:06 left");
    console.PrintLine("Resend 0");
    const std::string bar = console.BarText();
    EXPECT_EQ(Output(), "\r" + bar + "\x1b[K" + "\r\x1b[K" + "Resend 0\n" + "\r" + bar + "\x1b[K");

    console.SetBarPosition(0);
    console.PrintLine("Fix Program");
    EXPECT_TRUE(Output().ends_with("\r\x1b[KFix Program\n"));
}

TEST_F(ConsoleTest, TheSearchBarRunningDownSaysWhatToDoAndHowLong) {
    TerminalConsole& console = Console(true);
    console.SetBarMaximum(100);
    for (int tryCount = 0; tryCount < 5; ++tryCount) {
        seconds_ += 0.1;
        console.SetBarPosition(100 - tryCount);
    }
    EXPECT_EQ(console.BarText(),
              "[############################..] reset or switch on the board now: 9.6 s left");
    EXPECT_EQ(Output().find("100%"), std::string::npos);
}

// The views send each kind of text where a technician expects it.
TEST_F(ConsoleTest, ViewsPrintPanelsResultLinesAndIdentityLines) {
    TerminalConsole& console = Console(false);
    TerminalUpdaterWindow window(console);
    StatusBarView& bar = window.StatusBar();
    bar.SetPanelText(PortPanelIndex, "COM4");
    bar.SetPanelText(StepPanelIndex, "Try 0");
    bar.SetPanelText(DevicePanelIndex, "Found 24HJ64");
    bar.SetPanelText(-2, "never shown");
    window.ShowIdentityLine("Bios 12 - Demo board");
    window.ShowResultLine(" CHK Error !! ", kColourRed, kColourWhite);
    bar.SetPanelText(ImagePanelIndex, "not suitable apparatus");
    EXPECT_EQ(Output(),
              "Try 0\nFound 24HJ64\nBios 12 - Demo board\n CHK Error !! \n"
              "not suitable apparatus\n");
}

}  // namespace
}  // namespace vorlan::flash
