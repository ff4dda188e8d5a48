// vorlan-flash --loop on a production line: boards that come one after
// another behind one COM name (vorlan-board --boards), each programmed once,
// a board that stays, a port that vanishes and comes back, and Ctrl-C while
// the station waits.
#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <sstream>
#include <thread>

#include "tests/terminal/flash_board_fixture.h"
#include "firmware_files/intel_hex_writer.h"

namespace vorlan::terminal_test {
namespace {

using namespace std::chrono_literals;

std::vector<std::string> Lines(const std::string& out, const std::string& head) {
    std::vector<std::string> found;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind(head, 0) == 0)
            found.push_back(line);
    }
    return found;
}

// Three boards, each staying 2 s after its run and answering all the while:
// each is programmed once, with the whole image, and numbered in turn.
TEST_F(FlashAgainstBoard, ALoopProgramsBoardAfterBoardEachOnce) {
    StartBoard(71, {"--boards", "3", "--stay", "2000", "--away", "1200"});
    const FlashResult run = RunFlash({"--port", "COM71", "--loop", "--count", "3", "--json"});
    EXPECT_EQ(run.exit, std::optional<int>(0)) << run.out << run.err;
    const std::vector<std::string> results = Lines(run.out, R"({"event":"result")");
    ASSERT_EQ(results.size(), 3u) << run.out;
    for (int n = 1; n <= 3; ++n) {
        EXPECT_NE(results[n - 1].find(R"("board_number":)" + std::to_string(n) + ","),
                  std::string::npos)
            << results[n - 1];
        EXPECT_NE(results[n - 1].find(R"("ok":true)"), std::string::npos) << results[n - 1];
    }
    EXPECT_EQ(LastLine(run.out).rfind(
                  R"({"event":"loop_end","port":"COM71","boards":3,"programmed":3,"failed":0,)", 0),
              0u)
        << run.out;
    StopBoard();
    const Bytes expected = ExpectedProgramMemory();
    for (int n = 1; n <= 3; ++n) {
        const Bytes memory = ProgramMemoryIn(Work() / ("board71-" + std::to_string(n) + ".hex"));
        EXPECT_TRUE(memory == expected) << "board " << n << " does not hold the image";
    }
}

// The port goes with each board (an adapter unplugged) and comes back with
// the next; a failed board counts, and the status says so.
TEST_F(FlashAgainstBoard, ALoopOpensAVanishedPortAgainAndTalliesFailures) {
    StartBoard(72, {"--boards", "2", "--vanish", "--away", "800", "--refuse", "3:5"});
    const FlashResult run = RunFlash({"--port", "COM72", "--loop", "--count", "2"});
    EXPECT_EQ(run.exit, std::optional<int>(1)) << run.out << run.err;
    const std::vector<std::string> results = Lines(run.out, "COM72 #");
    ASSERT_EQ(results.size(), 2u) << run.out;
    EXPECT_EQ(results[0].rfind("COM72 #1 DEMO-24HJ (24HJ64, BIOS 09): FAILED - CHK Error !! - "
                               "the board holds a partial image",
                               0),
              0u)
        << results[0];
    EXPECT_TRUE(results[0].ends_with(" - 0 programmed, 1 failed")) << results[0];
    EXPECT_TRUE(results[1].ends_with(" - 0 programmed, 2 failed")) << results[1];
    EXPECT_EQ(LastLine(run.out), "COM72: 2 boards - 0 programmed, 2 failed") << run.out;
}

// A station started before its adapter is plugged in waits for the port.
TEST_F(FlashAgainstBoard, ALoopWaitsForAPortThatIsNotThereYet) {
    ChildProcess flash = StartFlash({"--port", "COM77", "--loop", "--count", "1"});
    ASSERT_TRUE(WaitForText(FlashOut(), "Waiting for COM77 to appear", 10s))
        << ReadFile(FlashOut());
    StartBoard(77);
    const FlashResult run = Finish(flash, 30s);
    EXPECT_EQ(run.exit, std::optional<int>(0)) << run.out << run.err;
    EXPECT_EQ(LastLine(run.out), "COM77: 1 board - 1 programmed, 0 failed") << run.out;
}

// Ctrl-C while the station waits ends the loop with its tally: no board
// failed, so the status is 0.
TEST_F(FlashAgainstBoard, CtrlCWhileALoopWaitsEndsItWithTheTally) {
    StartBoard(73, {"--boards", "0", "--stay", "60000"});
    ChildProcess flash = StartFlash({"--port", "COM73", "--loop", "--log", Log().string()});
    ASSERT_TRUE(WaitForText(FlashOut(), "Take board #1 away", 20s)) << ReadFile(FlashOut());
    std::this_thread::sleep_for(300ms);
    flash.Signal(SIGINT);
    const FlashResult run = Finish(flash, 5s);
    EXPECT_EQ(run.exit, std::optional<int>(0)) << run.out << run.err;
    EXPECT_EQ(Lines(run.out, "COM73 #").size(), 1u) << run.out;
    EXPECT_EQ(LastLine(run.out), "COM73: 1 board - 1 programmed, 0 failed") << run.out;
    const std::string log = ReadFile(Log());
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << log;
    EXPECT_NE(log.find(R"("board_number":1,)"), std::string::npos) << log;
}

// --identify tells the board and the verdict on the firmware, and the board
// is left as it was: erased.
TEST_F(FlashAgainstBoard, IdentifyTellsTheBoardAndWritesNothing) {
    StartBoard(74, {"--bios", "12", "--skip", "0x4000:0x400", "--board", "3"});
    const FlashResult run = RunFlash({"--port", "COM74", "--identify"});
    EXPECT_EQ(run.exit, std::optional<int>(0)) << run.out << run.err;
    EXPECT_EQ(LastLine(run.out),
              "COM74 VL-IO16 (24HJ64, BIOS 0c): board code 3, preparation 0x04, release \"DEMO "
              "BOOT 1.0\", skip window 0x4000 to 0x4400 - the built-in 24HJ64 firmware does not "
              "fit it: the firmware in this build is for DEMO-24HJ - Preparation4, not for this "
              "board")
        << run.out;
    EXPECT_TRUE(DumpedProgramMemory() == Bytes(kMemoryBytes, 0xFF)) << "the board was written";
}

// The demo image as an Intel HEX file, with one instruction changed.
std::string ChangedDemoHex(Bytes& program) {
    const ImageDescriptor image = StoredSlot(0, kDemoFamily);
    program.assign(image.programData, image.programData + image.programLength);
    program[0x1000] ^= 0x5A;
    program[0x1001] ^= 0xA5;
    intel_hex::IntelHexWriter writer;
    writer.AddData(0, program);
    return writer.Finish();
}

// --hex: the file is what reaches the board, byte for byte, and the result
// names it with the CRC-32 of what was sent.
TEST_F(FlashAgainstBoard, HexPutsTheFileOnTheBoard) {
    Bytes program;
    const auto file = Work() / "changed.hex";
    std::ofstream(file) << ChangedDemoHex(program);
    StartBoard(75);
    const FlashResult run = RunFlash({"--port", "COM75", "--hex", file.string(), "--json"});
    ASSERT_EQ(run.exit, std::optional<int>(0)) << run.out << run.err;
    EXPECT_NE(LastLine(run.out).find(R"("firmware":")" + file.string() + R"(","image_crc32":")"),
              std::string::npos)
        << run.out;
    Bytes expected = ExpectedProgramMemory();
    expected[0x1000] = program[0x1000];
    expected[0x1001] = program[0x1001];
    EXPECT_TRUE(DumpedProgramMemory() == expected) << "the board does not hold the file";
}

// A bad checksum on line 7 is refused before the port is opened: the board
// never hears a byte.
TEST_F(FlashAgainstBoard, HexWithABadLineIsRefusedBeforeAnyByteIsSent) {
    Bytes program;
    std::string text = ChangedDemoHex(program);
    std::size_t line7 = 0;
    for (int n = 1; n < 7; ++n) line7 = text.find('\n', line7) + 1;
    const std::size_t end = text.find('\n', line7);
    text[end - 1] = text[end - 1] == '0' ? '1' : '0';  // the checksum's last digit
    const auto file = Work() / "broken.hex";
    std::ofstream(file) << text;
    StartBoard(76);
    const FlashResult run = RunFlash({"--port", "COM76", "--hex", file.string()});
    EXPECT_EQ(run.exit, std::optional<int>(2)) << run.out << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find(file.string() + ":7: "), std::string::npos) << run.err;
    StopBoard();
    EXPECT_EQ(ReadFile(Work() / "board76.out").find("search byte answered"), std::string::npos);
}

}  // namespace
}  // namespace vorlan::terminal_test
