// vorlan-flash --serial on a production line of emulated boards: each
// programmed board holds its own number in its dump, a failed board's number
// is the next one handed out, and stations in several processes share one
// counter file with no number twice and none left out.
#include <gtest/gtest.h>

#include <list>
#include <set>
#include <sstream>
#include <thread>

#include "tests/terminal/flash_board_fixture.h"

namespace vorlan::terminal_test {
namespace {

constexpr std::uint32_t kSerialAddress = 0x1000;  // program address units

// The number a board holds at program:0x1000 in le4, phantom bytes left out.
std::uint32_t SerialIn(const Bytes& memory) {
    const std::size_t at = kSerialAddress * kBytesPerAddress;
    return memory[at] | memory[at + 1] << 8 | memory[at + 2] << 16 |
           static_cast<std::uint32_t>(memory[at + 4]) << 24;
}

std::vector<std::string> SerialArguments(const std::filesystem::path& counter) {
    return {"--serial",    counter.string(), "--serial-range",  "1-1000",
            "--serial-at", "program:0x1000", "--serial-format", "le4"};
}

// Three boards, the middle one refusing a frame: the first holds 1, the
// failed one's 2 comes back and goes to the third, and 3 is next.
TEST_F(FlashAgainstBoard, SerialNumbersGoToProgrammedBoardsWithNoGap) {
    StartBoard(74, {"--boards", "3", "--stay", "300", "--away", "1300", "--refuse", "3:5",
                    "--faults-every", "2"});
    std::vector<std::string> arguments = {"--port", "COM74",  "--loop", "--count",
                                          "3",      "--json", "--log",  Log().string()};
    for (const std::string& word : SerialArguments(Work() / "counter")) arguments.push_back(word);
    const FlashResult run = RunFlash(arguments);
    EXPECT_EQ(run.exit, std::optional<int>(1)) << run.out << run.err;
    const std::string log = ReadFile(Log());
    EXPECT_NE(log.find(R"("board_number":2,)"), std::string::npos) << log;
    EXPECT_NE(log.find(R"("serial":2,"image_crc32")"), std::string::npos) << log;
    EXPECT_NE(ReadFile(Work() / "counter").find("next 3\n"), std::string::npos);
    StopBoard();
    EXPECT_EQ(SerialIn(ProgramMemoryIn(Work() / "board74-1.hex")), 1u);
    const Bytes third = ProgramMemoryIn(Work() / "board74-3.hex");
    EXPECT_EQ(SerialIn(third), 2u);
    EXPECT_EQ(third[kSerialAddress * kBytesPerAddress + 3], 0x00) << "the phantom byte";
}

// Four stations, each its own process on its own line of boards (every
// third failing), take numbers from one file at once.
TEST_F(FlashAgainstBoard, StationsInSeveralProcessesShareOneCounter) {
    constexpr int kStations = 4;
    constexpr int kBoards = 4;
    for (int s = 0; s < kStations; ++s) {
        StartBoard(80 + s, {"--boards", std::to_string(kBoards), "--stay", "200", "--away", "1300",
                            "--refuse", "3:5", "--faults-every", "3"});
    }
    std::list<ChildProcess> stations;
    for (int s = 0; s < kStations; ++s) {
        std::vector<std::string> arguments = {"--port",
                                              "COM" + std::to_string(80 + s),
                                              "--loop",
                                              "--count",
                                              std::to_string(kBoards),
                                              "--quiet",
                                              "--log",
                                              Log().string()};
        for (const std::string& word : SerialArguments(Work() / "counter"))
            arguments.push_back(word);
        stations.emplace_back(VORLAN_FLASH_PROGRAM, arguments, Environment(),
                              Work() / ("station" + std::to_string(s) + ".out"),
                              Work() / ("station" + std::to_string(s) + ".err"));
    }
    for (ChildProcess& station : stations) EXPECT_TRUE(station.Wait(kRunLimit).has_value());
    StopBoard();
    std::multiset<std::uint32_t> held;
    int programmed = 0;
    for (int s = 0; s < kStations; ++s) {
        for (int b = 1; b <= kBoards; ++b) {
            if (b % 3 == 0)
                continue;  // failed on purpose
            ++programmed;
            held.insert(SerialIn(ProgramMemoryIn(
                Work() / ("board" + std::to_string(80 + s) + "-" + std::to_string(b) + ".hex"))));
        }
    }
    std::multiset<std::uint32_t> expected;
    for (int n = 1; n <= programmed; ++n) expected.insert(static_cast<std::uint32_t>(n));
    EXPECT_EQ(held, expected) << ReadFile(Log());
    EXPECT_NE(ReadFile(Work() / "counter").find("next " + std::to_string(programmed + 1) + "\n"),
              std::string::npos)
        << ReadFile(Work() / "counter");
}

// A call killed with SIGKILL in the middle of its runs: the runs (one
// process per port) stop and give their numbers back rather than program on
// alone, holding the ports and the numbers.
TEST_F(FlashAgainstBoard, KillingACallStopsItsRunsAndFreesTheirNumbers) {
    StartBoard(86, {"--line-rate"});
    StartBoard(87, {"--line-rate"});
    std::vector<std::string> arguments = {"--port", "COM86", "--port", "COM87", "--quiet"};
    for (const std::string& word : SerialArguments(Work() / "counter")) arguments.push_back(word);
    ChildProcess call = StartFlash(arguments);
    ASSERT_TRUE(WaitForText(Work() / "counter", "reserved 2 ", kRunLimit));
    call.Signal(SIGKILL);
    call.Wait(kRunLimit);
    std::string counter;
    for (int tries = 0; tries < 100; ++tries) {
        counter = ReadFile(Work() / "counter");
        if (counter.find("reserved") == std::string::npos)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    EXPECT_NE(counter.find("returned 1\nreturned 2\n"), std::string::npos) << counter;
}

}  // namespace
}  // namespace vorlan::terminal_test
