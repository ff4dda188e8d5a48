// The result line: the run's own text where it has one, an explanation where
// the run ended without a word.
#include "tools/flash/run_summary.h"

#include <gtest/gtest.h>

namespace vorlan::flash {
namespace {

TEST(RunSummary, SaysWhatBecameOfTheRun) {
    struct Row {
        RunFacts facts;
        std::string summary;
    };
    const auto failed = [](std::string last) {
        RunFacts facts;
        facts.lastStatus = std::move(last);
        facts.portName = "COM3";
        facts.chipIdentity = 66;
        facts.boardCode = 9;
        return facts;
    };
    RunFacts success = failed("Program OK");
    success.succeeded = true;
    RunFacts badPort = failed("Invalid Port Com");
    badPort.portProblem = "/dev/ttyS2: Permission denied";
    // Blocks on the line before the end: the flash may hold some of them.
    const auto midImage = [&failed](std::string last) {
        RunFacts facts = failed(std::move(last));
        facts.statistics.blocksSent = 12;
        return facts;
    };
    RunFacts noImage = failed("Search Device");
    noImage.imageEmpty = true;

    const Row rows[] = {
        {success, "Program OK"},
        {failed(" CHK Error !! "), "CHK Error !!"},
        {failed("Device not Found"), "Device not Found"},
        {midImage(" CHK Error !! "),
         "CHK Error !! - the board holds a partial image and must be programmed again"},
        {midImage(" not Response "),
         "not Response - the board holds a partial image and must be programmed again"},
        {midImage(" User Abort !! "),
         "User Abort !! - the board holds a partial image and must be programmed again"},
        {failed(" User Abort !! "), "User Abort !! - nothing was written, the board is unchanged"},
        {failed(" Answer out of step !! "),
         "Answer out of step !! - the board sent an answer to no frame of ours, so its answers "
         "no longer show which frames it wrote; the firmware may be incomplete: run the update "
         "again"},
        {failed("DEMO-24HJ - Preparation4"),
         "the firmware in this build is for DEMO-24HJ - Preparation4, not for this board"},
        {badPort, "Invalid Port Com - /dev/ttyS2: Permission denied"},
        {failed(""), "COM3 could not be used"},
        {noImage, "no firmware in this build for this board (chip 66, board code 9)"},
        {failed("Try 3"),
         "the firmware in this build is too big for this board (chip 66, board code 9)"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(ResultSummary(row.facts), row.summary) << '"' << row.facts.lastStatus << '"';
    }
}

}  // namespace
}  // namespace vorlan::flash
