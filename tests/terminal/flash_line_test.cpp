// vorlan-flash on a production line, against several vorlan-board at once:
// one call for several boards, its summary, JSON and log, Ctrl-C reaching
// every run, a device given by path, and the information options.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <fstream>
#include <sstream>

#include "catalogue/version_list.h"
#include "tests/terminal/flash_board_fixture.h"
#include "terminal/firmware_table.h"

namespace vorlan::terminal_test {
namespace {

using namespace std::chrono_literals;

// One call, several boards: Ctrl-C sent to that call alone reaches every run.
TEST_F(FlashAgainstBoard, CtrlCSentToOneCallStopsEveryBoard) {
    StartBoard(64, {"--line-rate"});
    StartBoard(65, {"--line-rate"});
    ChildProcess flash = StartFlash({"--port", "COM64", "--port", "COM65"});
    ASSERT_TRUE(WaitForText(FlashOut(), "COM64:  Programming...", 20s)) << ReadFile(FlashOut());
    ASSERT_TRUE(WaitForText(FlashOut(), "COM65:  Programming...", 20s)) << ReadFile(FlashOut());
    flash.Signal(SIGINT);
    const FlashResult run = Finish(flash, 5s);
    EXPECT_EQ(run.exit, std::optional<int>(130)) << run.out << run.err;
    EXPECT_TRUE(HasLine(run.out, "COM64:  User Abort !! ")) << run.out;
    EXPECT_TRUE(HasLine(run.out, "COM65:  User Abort !! ")) << run.out;
    EXPECT_NE(run.out.find("Summary: 0 of 2 boards programmed"), std::string::npos) << run.out;
}

// A device path runs as the COM name that leads to it; a log that cannot be
// written is reported without hiding the result, and the status says so.
TEST_F(FlashAgainstBoard, ADevicePathRunsAsItsComNameAndAFullLogIsReported) {
    if (!std::filesystem::exists("/dev/full")) {
        GTEST_SKIP() << "no /dev/full on this machine";
    }
    StartBoard(66);
    const std::string device = std::filesystem::canonical(Ports() / "com66").string();
    const FlashResult run = RunFlash({"--port", device, "--json", "--quiet", "--log", "/dev/full"});
    EXPECT_EQ(run.exit, std::optional<int>(3)) << run.out << run.err;
    EXPECT_EQ(run.out.find('\n'), run.out.size() - 1) << "one line only: " << run.out;
    EXPECT_EQ(run.out.rfind(R"({"event":"result","port":")" + device + R"(","com":"COM66",)", 0),
              0u)
        << run.out;
    EXPECT_NE(run.out.find(R"("ok":true,"exit_status":3})"), std::string::npos) << run.out;
    EXPECT_NE(run.err.find("not added to the log /dev/full"), std::string::npos) << run.err;
}

// Three boards in one call, one refusing a block to the end: every line names
// its board, the summary gives every result, the status says a board failed,
// and the log gains one line per run, keeping the earlier ones.
TEST_F(FlashAgainstBoard, SeveralBoardsInOneCallReportEveryBoard) {
    StartBoard(61);
    StartBoard(62, {"--refuse", "3:5"});
    StartBoard(63, {"--bios", "12", "--skip", "0x4000:0x400"});
    std::vector<std::string> arguments = {"--port", "COM61", "--port", "COM62",
                                          "--port", "COM63", "--log",  Log().string()};
    const FlashResult text = RunFlash(arguments);
    EXPECT_EQ(text.exit, std::optional<int>(1)) << text.out << text.err;
    const auto summary = text.out.find("Summary: 2 of 3 boards programmed");
    ASSERT_NE(summary, std::string::npos) << text.out;
    std::istringstream relayed(text.out.substr(0, summary));
    for (std::string line; std::getline(relayed, line);) {
        // Each port once: "COM61: Search Device", "COM61 DEMO-24HJ (...): ...".
        EXPECT_TRUE(line.rfind("COM61", 0) == 0 || line.rfind("COM62", 0) == 0 ||
                    line.rfind("COM63", 0) == 0)
            << line;
        EXPECT_EQ(line.find(": COM6"), std::string::npos) << line;
    }
    for (const char* result : {"COM61 DEMO-24HJ (24HJ64, BIOS 09): Program O",
                               "COM62 DEMO-24HJ (24HJ64, BIOS 09): FAILED - CHK Error !!",
                               "COM63 DEMO-24HJ (24HJ64, BIOS 0c): Program O"}) {
        EXPECT_NE(text.out.find(std::string("\n  ") + result, summary), std::string::npos)
            << text.out;
    }
    EXPECT_NE(text.out.find("9 blocks left out as the board asks", summary), std::string::npos);

    arguments.emplace_back("--json");
    const FlashResult json = RunFlash(arguments);
    EXPECT_EQ(json.exit, std::optional<int>(1)) << json.out << json.err;
    std::istringstream lines(json.out);
    std::map<std::string, std::string> results;  // by port
    for (std::string line; std::getline(lines, line);) {
        const std::string head = R"({"event":"result","port":")";
        if (line.rfind(head, 0) == 0)
            results[line.substr(head.size(), 5)] = line;
    }
    ASSERT_EQ(results.size(), 3u) << json.out;
    EXPECT_NE(results["COM62"].find(R"("resends":4,)"), std::string::npos) << results["COM62"];
    EXPECT_NE(results["COM63"].find(R"("skipped_blocks":9,"skip_window_start":16384,)"),
              std::string::npos)
        << results["COM63"];
    EXPECT_EQ(LastLine(json.out).rfind(R"({"event":"summary","boards":3,"programmed":2,)", 0), 0u)
        << json.out;

    const std::string log = ReadFile(Log());
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 6) << log;
    EXPECT_EQ(log.rfind(R"({"time":")", 0), 0u) << log;
    // Every line is JSON, where a JSON reader is at hand.
    if (!std::filesystem::exists("/usr/bin/python3")) {
        GTEST_SKIP() << "no python3 to read the JSON back";
    }
    const auto check = Work() / "json.check";
    for (const std::string& written : {json.out, log}) {
        std::ofstream(check) << written;
        ChildProcess reader(
            "/usr/bin/python3",
            {"-c", "import json,sys\nfor l in open(sys.argv[1]): json.loads(l)", check.string()},
            {}, Work() / "reader.out", Work() / "reader.err");
        EXPECT_EQ(reader.Wait(10s), std::optional<int>(0))
            << ReadFile(Work() / "reader.err") << written;
    }
}

TEST_F(FlashAgainstBoard, VersionAndFirmwareListTheBuiltInImages) {
    std::string images;
    for (const std::string& line : flash::FirmwareTable(FillVersionList())) images += line + "\n";
    const FlashResult firmware = RunFlash({"--firmware"});
    EXPECT_EQ(firmware.exit, std::optional<int>(0));
    EXPECT_EQ(firmware.out, images);
    const FlashResult version = RunFlash({"--version"});
    EXPECT_EQ(version.exit, std::optional<int>(0));
    EXPECT_NE(version.out.find("firmware build \"" VORLAN_BUILD_VERSION "\"\n"), std::string::npos)
        << version.out;
    EXPECT_NE(version.out.find("  " + flash::FirmwareTable(FillVersionList()).back() + "\n"),
              std::string::npos)
        << version.out;
}

}  // namespace
}  // namespace vorlan::terminal_test
