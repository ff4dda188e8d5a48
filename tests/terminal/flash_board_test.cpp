// vorlan-flash against vorlan-board on real pseudo-terminals: whole runs, the
// board's faults, Ctrl-C, ports that cannot be opened, the stored port, the
// command line and the status notifier, each seen as a technician sees it:
// the printed texts, the exit status and what ended up in the board.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <list>
#include <sstream>

#include "catalogue/image_table.h"
#include "catalogue/version_list.h"
#include "engine/status_reporting.h"
#include "tests/terminal/process_runner.h"
#include "tools/flash/flash_arguments.h"
#include "tools/intel_hex/intel_hex_reader.h"

namespace vorlan::terminal_test {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

constexpr auto kRunLimit = 60s;  // a search that finds nothing takes about 10 s
constexpr auto kBoardStartLimit = 10s;

// The demo board: a PIC24HJ64 (chip identity 254, family column 6).
constexpr int kDemoFamily = 6;
constexpr std::uint32_t kProgramLimit = 0xA780;  // address units
constexpr int kBytesPerAddress = 2;
constexpr int kBlockSize = 256;  // data bytes per block
constexpr std::uint32_t kMemoryBytes = 0xA800 * kBytesPerAddress;
// GOTO 0xA800, the boot loader's entry, in image byte order.
const Bytes kJumpBlock = {0x00, 0xA8, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00};

bool UpgradeBuild() {
    return SelectsUpgradeWindow(VORLAN_BUILD_VERSION);
}
std::string SuccessText() {
    return UpgradeBuild() ? "Program OK" : " Program Ok ";
}

// Board memory after a complete run of the demo image: the image with the
// jump to the boot loader in its first bytes, and the image's own first
// instruction at the end of the block at the program limit.
Bytes ExpectedProgramMemory() {
    const ImageDescriptor image = StoredSlot(0, kDemoFamily);
    Bytes memory(kMemoryBytes, 0xFF);
    std::copy(image.programData, image.programData + image.programLength, memory.begin());
    std::copy(kJumpBlock.begin(), kJumpBlock.end(), memory.begin());
    const std::size_t headEnd = kProgramLimit * kBytesPerAddress + kBlockSize;
    std::copy(image.headData, image.headData + image.headLength,
              memory.begin() + static_cast<std::ptrdiff_t>(headEnd) - image.headLength);
    return memory;
}

struct FlashResult {
    std::optional<int> exit;  // empty: killed at the time limit
    std::string out;
    std::string err;
};

class FlashAgainstBoard : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::filesystem::exists(VORLAN_FLASH_PROGRAM)) {
            GTEST_SKIP() << "vorlan-flash is not built";
        }
        std::filesystem::create_directories(Ports());
        std::filesystem::create_directories(Settings());
    }
    void TearDown() override { StopBoard(); }

    std::filesystem::path Ports() const { return folder_.Path() / "ports"; }
    std::filesystem::path Settings() const { return folder_.Path() / "settings"; }
    std::filesystem::path Dump(int com) const {
        return folder_.Path() / ("board" + std::to_string(com) + ".hex");
    }
    std::filesystem::path Log() const { return folder_.Path() / "line.log"; }
    std::filesystem::path Work() const { return folder_.Path(); }
    std::filesystem::path FlashOut() const { return folder_.Path() / "flash.out"; }
    std::filesystem::path MissingDevice() const { return folder_.Path() / "no-such-device"; }
    std::map<std::string, std::string> Environment() const {
        return {{"VORLAN_PORT_DIR", Ports().string()},
                {"VORLAN_SETTINGS_DIR", Settings().string()}};
    }

    // Starts an emulator as COM<com> with the extra options, beside any
    // started before; skips the test when the emulator is not built.
    void StartBoard(int com, std::vector<std::string> options = {}) {
        if (!std::filesystem::exists(VORLAN_BOARD_PROGRAM)) {
            GTEST_SKIP() << "vorlan-board is not built";
        }
        options.insert(options.begin(),
                       {"--com", std::to_string(com), "--dump", Dump(com).string()});
        const std::string name = "board" + std::to_string(com);
        const auto out = folder_.Path() / (name + ".out");
        const auto err = folder_.Path() / (name + ".err");
        ChildProcess& board =
            boards_.emplace_back(VORLAN_BOARD_PROGRAM, options, Environment(), out, err);
        lastCom_ = com;
        ASSERT_TRUE(board.Started());
        ASSERT_TRUE(WaitForText(out, "\n", kBoardStartLimit))
            << "vorlan-board did not start: " << ReadFile(err);
        EXPECT_NE(ReadFile(out).find("COM" + std::to_string(com)), std::string::npos)
            << ReadFile(out);
    }

    // Ends the emulators, which write their dumps as they go.
    void StopBoard() {
        for (ChildProcess& board : boards_) {
            board.Signal(SIGTERM);
            EXPECT_TRUE(board.Wait(10s).has_value()) << "vorlan-board did not end";
        }
        boards_.clear();
    }

    ChildProcess StartFlash(const std::vector<std::string>& arguments) {
        return ChildProcess(VORLAN_FLASH_PROGRAM, arguments, Environment(), FlashOut(),
                            folder_.Path() / "flash.err");
    }

    FlashResult Finish(ChildProcess& flash, std::chrono::milliseconds limit = kRunLimit) {
        FlashResult result;
        result.exit = flash.Wait(limit);
        result.out = ReadFile(FlashOut());
        result.err = ReadFile(folder_.Path() / "flash.err");
        return result;
    }

    FlashResult RunFlash(const std::vector<std::string>& arguments) {
        ChildProcess flash = StartFlash(arguments);
        return Finish(flash);
    }

    // Program memory from the dump of the board started last; addresses it
    // leaves out are erased.
    Bytes DumpedProgramMemory() {
        StopBoard();
        std::vector<intel_hex::DataRecord> records;
        std::string error;
        EXPECT_TRUE(intel_hex::ReadIntelHexFile(Dump(lastCom_).string(), records, error)) << error;
        Bytes memory(kMemoryBytes, 0xFF);
        for (const intel_hex::DataRecord& record : records) {
            for (std::size_t i = 0; i < record.data.size(); ++i) {
                if (record.address + i < memory.size())
                    memory[record.address + i] = record.data[i];
            }
        }
        return memory;
    }

private:
    TempFolder folder_;
    std::list<ChildProcess> boards_;
    int lastCom_ = 0;
};

// The last printed line: the result.
std::string LastLine(const std::string& out) {
    const auto end = out.find_last_not_of('\n');
    if (end == std::string::npos) {
        return "";
    }
    const auto start = out.rfind('\n', end);
    return out.substr(start == std::string::npos ? 0 : start + 1, end - start);
}

bool HasLine(const std::string& out, const std::string& line) {
    return ("\n" + out).find("\n" + line + "\n") != std::string::npos;
}

TEST_F(FlashAgainstBoard, AWholeRunLeavesExactlyTheImageInTheBoard) {
    StartBoard(41);
    const FlashResult run = RunFlash({"--port", "COM41"});
    ASSERT_EQ(run.exit, std::optional<int>(0)) << run.out << run.err;
    EXPECT_TRUE(HasLine(run.out, SuccessText())) << run.out;
    EXPECT_EQ(LastLine(run.out).rfind("COM41 DEMO-24HJ (24HJ64, BIOS 09): Program O", 0), 0u)
        << run.out;
    EXPECT_EQ(run.err, "");
    // Each text once: the hundred possible "Search Device" lines are one.
    EXPECT_EQ(run.out.find("Search Device"), run.out.rfind("Search Device")) << run.out;

    const Bytes memory = DumpedProgramMemory();
    const Bytes expected = ExpectedProgramMemory();
    ASSERT_EQ(memory.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        ASSERT_EQ(memory[i], expected[i]) << "first difference at image byte 0x" << std::hex << i;
    }
}

TEST_F(FlashAgainstBoard, EachInjectedFaultEndsInItsTextAndStatus) {
    struct Row {
        int com;
        std::vector<std::string> fault;
        std::string text;
        int exit;
    };
    const Row rows[] = {
        // Five refusals of one block: the resends are used up.
        {42, {"--refuse", "3:5"}, " CHK Error !! ", 1},
        // Four refusals: the fifth send is taken and the run goes on.
        {43, {"--refuse", "3:4"}, SuccessText(), 0},
        // A block in the middle left unanswered is never passed over.
        {44, {"--silent", "10"}, " not Response ", 1},
        // The last block of the image, and the block with the image's head.
        {45, {"--silent", "251"}, " not Response ", 1},
        {48, {"--silent", "252"}, " not Response ", 1},
        // The line goes away in the middle of the image.
        {46, {"--hangup", "100"}, " not Response ", 1},
        // Stray bytes before an acknowledgement do not spoil the run.
        {47, {"--stray", "5:3F11"}, SuccessText(), 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.fault.front() + " " + (row.fault.size() > 1 ? row.fault[1] : ""));
        StartBoard(row.com, row.fault);
        const FlashResult run = RunFlash({"--port", "COM" + std::to_string(row.com)});
        EXPECT_EQ(run.exit, std::optional<int>(row.exit)) << run.out << run.err;
        EXPECT_TRUE(HasLine(run.out, row.text)) << run.out;
        StopBoard();
    }
}

TEST_F(FlashAgainstBoard, CtrlCEndsTheRunAsTheStopButtonDoes) {
    StartBoard(51, {"--line-rate"});
    ChildProcess flash = StartFlash({"--port", "COM51"});
    ASSERT_TRUE(WaitForText(FlashOut(), "Programming...", 20s)) << ReadFile(FlashOut());
    const auto sent = std::chrono::steady_clock::now();
    flash.Signal(SIGINT);
    const FlashResult run = Finish(flash, 5s);
    EXPECT_LT(std::chrono::steady_clock::now() - sent, 1s);
    EXPECT_EQ(run.exit, std::optional<int>(130)) << run.out << run.err;
    EXPECT_TRUE(HasLine(run.out, " User Abort !! ")) << run.out;
    EXPECT_NE(LastLine(run.out).find("partial image and must be programmed again"),
              std::string::npos)
        << run.out;
}

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

// The result line says where the COM name was looked up and what to do.
TEST_F(FlashAgainstBoard, APortThatCannotBeOpenedIsReported) {
    std::filesystem::create_symlink(MissingDevice(), Ports() / "com9");
    const std::pair<std::string, std::vector<std::string>> rows[] = {
        {"com9",
         {"COM9 is " + (Ports() / "com9").string() + " -> " + MissingDevice().string(),
          "No such file or directory", "plugged in"}},
        {"COM97", {"no link com97 in " + Ports().string(), "ln -s"}},
    };
    for (const auto& [port, said] : rows) {
        const FlashResult run = RunFlash({"--port", port});
        EXPECT_EQ(run.exit, std::optional<int>(1)) << run.out << run.err;
        EXPECT_TRUE(HasLine(run.out, "Invalid Port Com")) << run.out;
        for (const std::string& words : said) {
            EXPECT_NE(LastLine(run.out).find(words), std::string::npos) << run.out;
        }
    }
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
        EXPECT_TRUE(line.rfind("COM61: ", 0) == 0 || line.rfind("COM62: ", 0) == 0 ||
                    line.rfind("COM63: ", 0) == 0)
            << line;
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
    for (const std::string& line : FillVersionList()) images += line + "\n";
    const FlashResult firmware = RunFlash({"--firmware"});
    EXPECT_EQ(firmware.exit, std::optional<int>(0));
    EXPECT_EQ(firmware.out, images);
    const FlashResult version = RunFlash({"--version"});
    EXPECT_EQ(version.exit, std::optional<int>(0));
    EXPECT_NE(version.out.find("firmware build \"" VORLAN_BUILD_VERSION "\"\n"), std::string::npos)
        << version.out;
    EXPECT_NE(version.out.find("  " + FillVersionList().back() + "\n"), std::string::npos)
        << version.out;
}

TEST_F(FlashAgainstBoard, ABootLoaderThatAnswersOnlyALaterSearchIsFound) {
    StartBoard(52, {"--late", "1"});
    const FlashResult run = RunFlash({"--port", "COM52"});
    EXPECT_EQ(run.exit, std::optional<int>(0)) << run.out << run.err;
    EXPECT_TRUE(HasLine(run.out, SuccessText())) << run.out;
}

TEST_F(FlashAgainstBoard, WithoutAPortTheStoredSettingChoosesIt) {
    StartBoard(53);
    std::filesystem::create_directories(Settings() / "Quenta");
    std::ofstream(Settings() / "Quenta" / "Vorlan.conf") << "[General]\ncom=52\n";
    const FlashResult run = RunFlash({});
    EXPECT_EQ(run.exit, std::optional<int>(0)) << run.out << run.err;
    EXPECT_NE(run.out.find("COM53"), std::string::npos) << run.out;
}

TEST_F(FlashAgainstBoard, UsageErrorsEndWithStatusTwoAndTouchNoPort) {
    const std::vector<std::vector<std::string>> cases = {{"--port", "COM258"}, {"\\P"}};
    for (const auto& arguments : cases) {
        const FlashResult run = RunFlash(arguments);
        EXPECT_EQ(run.exit, std::optional<int>(2)) << arguments.front();
        EXPECT_EQ(run.out, "") << arguments.front();
        EXPECT_NE(run.err.find("--help"), std::string::npos) << run.err;
    }
}

// The supervising program's side of --notify: one 12-byte record per result,
// from local port 3004 to 127.0.0.1:3000.
TEST_F(FlashAgainstBoard, NotifySendsTheResultRecord) {
    const int listener = socket(AF_INET, SOCK_DGRAM, 0);
    ASSERT_GE(listener, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(3000);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(listener);
        GTEST_SKIP() << "UDP port 3000 is taken on this machine";
    }
    StartBoard(54, {"--silent", "0"});
    const FlashResult run = RunFlash({"--notify", "--port", "COM54"});
    EXPECT_EQ(run.exit, std::optional<int>(1)) << run.out << run.err;

    pollfd ready{listener, POLLIN, 0};
    ASSERT_EQ(poll(&ready, 1, 2000), 1) << "no record arrived";
    std::uint8_t record[64] = {};
    sockaddr_in from{};
    socklen_t fromLength = sizeof from;
    const ssize_t size = recvfrom(listener, record, sizeof record, 0,
                                  reinterpret_cast<sockaddr*>(&from), &fromLength);
    EXPECT_EQ(size, 12);
    EXPECT_EQ(ntohs(from.sin_port), 3004);
    EXPECT_EQ(Bytes(record, record + 12), (Bytes{0, 0, 0, 4, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(poll(&ready, 1, 200), 0) << "more than one record";
    close(listener);
}

// Like the desktop program, a notifier that cannot have its port ends the
// program before any run.
TEST_F(FlashAgainstBoard, NotifyWithItsPortTakenStopsBeforeTheRun) {
    const int holder = socket(AF_INET, SOCK_DGRAM, 0);
    ASSERT_GE(holder, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(3004);
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    if (bind(holder, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(holder);
        GTEST_SKIP() << "UDP port 3004 is taken on this machine";
    }
    const FlashResult run = RunFlash({"--notify", "--port", "COM55"});
    close(holder);
    EXPECT_EQ(run.exit, std::optional<int>(1)) << run.out << run.err;
    EXPECT_NE(run.err.find("already in use"), std::string::npos) << run.err;
    EXPECT_EQ(run.out.find("Search Device"), std::string::npos) << run.out;
}

}  // namespace
}  // namespace vorlan::terminal_test
