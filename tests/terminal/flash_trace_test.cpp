// The trace of a run against the emulator: a failed run keeps its own in the
// state folder and names it, --explain tells the fault it shows, a good run
// keeps none, and a folder that cannot be written changes no result.
#include <gtest/gtest.h>

#include <fstream>

#include "tests/terminal/flash_board_fixture.h"
#include "terminal/json_record.h"

namespace vorlan::terminal_test {
namespace {

// The file that the result line names after " - trace ".
std::string TraceNamed(const std::string& out) {
    const std::string line = LastLine(out);
    const std::size_t at = line.find(" - trace ");
    return at == std::string::npos ? "" : line.substr(at + 9);
}

TEST_F(FlashAgainstBoard, AFailedRunKeepsItsTraceAndExplainTellsTheFault) {
    struct Row {
        int com;
        std::vector<std::string> fault;
        std::string result;   // in the result event
        std::string verdict;  // in --explain's words
    };
    const Row rows[] = {
        {61,
         {"--refuse", "3:5"},
         "ChecksumRefused",
         "frame 4 (address 0x0180) was refused five times"},
        // The board restarts inside frame 126 and never answers it.
        {62,
         {"--restart", "125:100"},
         "NoResponse",
         "frame 126 (address 0x3E80) got no answer within 1 s"},
    };
    for (const Row& row : rows) {
        StartBoard(row.com, row.fault);
        const FlashResult run = RunFlash({"--port", "COM" + std::to_string(row.com)});
        EXPECT_EQ(run.exit, std::optional<int>(1)) << run.out << run.err;
        const std::string trace = TraceNamed(run.out);
        ASSERT_EQ(std::filesystem::path(trace).parent_path(), State() / "vorlan" / "traces")
            << run.out;
        ASSERT_TRUE(std::filesystem::exists(trace));

        const FlashResult told = RunFlash({"--explain", trace});
        ASSERT_EQ(told.exit, std::optional<int>(0)) << told.err;
        EXPECT_NE(told.out.find("identity: BIOS 09, chip 254 (24HJ64)"), std::string::npos)
            << told.out;
        EXPECT_NE(told.out.find("result: " + row.result), std::string::npos) << told.out;
        EXPECT_NE(told.out.find(row.verdict), std::string::npos) << told.out;

        const FlashResult json = RunFlash({"--explain", trace, "--json"});
        const flash::JsonRecord story = flash::JsonRecord::parse(json.out);
        EXPECT_NE(story["verdict"].get<std::string>().find(row.verdict), std::string::npos);
        StopBoard();
    }
}

TEST_F(FlashAgainstBoard, AGoodRunKeepsNoTraceUnlessAsked) {
    StartBoard(63);
    const FlashResult good = RunFlash({"--port", "COM63"});
    ASSERT_EQ(good.exit, std::optional<int>(0)) << good.out << good.err;
    EXPECT_EQ(TraceNamed(good.out), "");
    EXPECT_FALSE(std::filesystem::exists(State() / "vorlan" / "traces"));

    const std::string asked = (Work() / "run.trace").string();
    const FlashResult traced = RunFlash({"--port", "COM63", "--trace", asked});
    ASSERT_EQ(traced.exit, std::optional<int>(0)) << traced.out << traced.err;
    EXPECT_EQ(TraceNamed(traced.out), asked);
    const FlashResult told = RunFlash({"--explain", asked});
    EXPECT_NE(told.out.find("every frame was acknowledged once"), std::string::npos) << told.out;
}

TEST_F(FlashAgainstBoard, AStateFolderThatCannotBeWrittenLeavesTheResult) {
    // A file where the folder should be: nothing can go under it.
    std::ofstream(State()) << "not a folder";
    StartBoard(64, {"--refuse", "3:5"});
    const FlashResult run = RunFlash({"--port", "COM64"});
    EXPECT_EQ(run.exit, std::optional<int>(1));
    EXPECT_NE(LastLine(run.out).find("FAILED - CHK Error !!"), std::string::npos) << run.out;
    EXPECT_EQ(TraceNamed(run.out), "");
    EXPECT_NE(run.err.find("the trace could not be written"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace vorlan::terminal_test
