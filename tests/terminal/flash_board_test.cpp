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

#include <algorithm>
#include <fstream>

#include "catalogue/image_table.h"
#include "tests/terminal/flash_board_fixture.h"

namespace vorlan::terminal_test {
namespace {

using namespace std::chrono_literals;

void ExpectSameMemory(const Bytes& memory, const Bytes& expected) {
    ASSERT_EQ(memory.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        ASSERT_EQ(memory[i], expected[i]) << "first difference at image byte 0x" << std::hex << i;
    }
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

    ExpectSameMemory(DumpedProgramMemory(), ExpectedProgramMemory());
}

// A board busy erasing its flash answers 0xCC after the 2 s the run waits for
// it, and hears nothing until then: the block with the boot-loader jump still
// reaches it.
TEST_F(FlashAgainstBoard, ALateAnswerToProgrammingModeStillGetsTheWholeImage) {
    StartBoard(56, {"--mode-ms", "2500", "--line-rate"});
    const FlashResult run = RunFlash({"--port", "COM56"});
    ASSERT_EQ(run.exit, std::optional<int>(0)) << run.out << run.err;
    ExpectSameMemory(DumpedProgramMemory(), ExpectedProgramMemory());
}

// A stray 'V' just before the 'K' of the first identity answer would read as
// BIOS 01: no information frame, no skip window, the older jump block. The
// search goes on, and the board's next, whole answer is the one used.
TEST_F(FlashAgainstBoard, AStrayByteInTheIdentityAnswerChoosesNothing) {
    StartBoard(58, {"--bios", "12", "--skip", "0x4000:0x400", "--identity-stray", "5:56"});
    const FlashResult run = RunFlash({"--port", "COM58"});
    ASSERT_EQ(run.exit, std::optional<int>(0)) << run.out << run.err;
    EXPECT_EQ(LastLine(run.out).rfind("COM58 DEMO-24HJ (24HJ64, BIOS 0c): Program O", 0), 0u)
        << run.out;
    // The blocks that end inside the window stay as they were.
    Bytes expected = ExpectedProgramMemory();
    std::fill(expected.begin() + 0x3F80 * kBytesPerAddress,
              expected.begin() + 0x4400 * kBytesPerAddress, 0xFF);
    ExpectSameMemory(DumpedProgramMemory(), expected);
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
        // A flood of 'K' after the identity answer: nothing is written.
        {49, {"--ack-flood", "30"}, " Answer garbled, start again !! ", 1},
        // A refusal with an ack: the block goes out again and is written.
        {50, {"--refuse-ack", "7"}, SuccessText(), 0},
        // The board restarts inside frame 245, whose checksum byte is a
        // search byte: its identity answer is no acknowledgement.
        {57, {"--restart", "245:100"}, " Board restarted !! ", 1},
        // A restart inside the information frame fills it with the second
        // answer: its skip window cannot be trusted, nothing is written.
        {59, {"--bios", "12", "--restart-info", "10"}, " Answer garbled, start again !! ", 1},
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

// A UDP socket bound to the port on the given address, or -1 when another
// program holds it.
int BindUdp(std::uint16_t port, std::uint32_t hostAddress) {
    const int fd = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(hostAddress);
    if (fd >= 0 && bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

// The supervising program's side of --notify: one 12-byte record per result,
// from local port 3004 to 127.0.0.1:3000. The one test of the real ports.
TEST_F(FlashAgainstBoard, NotifySendsTheResultRecord) {
    const int probe = BindUdp(3004, INADDR_ANY);
    if (probe < 0)
        GTEST_SKIP() << "UDP port 3004 is taken on this machine";
    close(probe);
    const int listener = BindUdp(3000, INADDR_LOOPBACK);
    if (listener < 0)
        GTEST_SKIP() << "UDP port 3000 is taken on this machine";
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
    const int holder = BindUdp(3004, INADDR_ANY);
    if (holder < 0)
        GTEST_SKIP() << "UDP port 3004 is taken on this machine";
    const FlashResult run = RunFlash({"--notify", "--port", "COM55"});
    close(holder);
    EXPECT_EQ(run.exit, std::optional<int>(1)) << run.out << run.err;
    EXPECT_NE(run.err.find("already in use"), std::string::npos) << run.err;
    EXPECT_EQ(run.out.find("Search Device"), std::string::npos) << run.out;
}

}  // namespace
}  // namespace vorlan::terminal_test
