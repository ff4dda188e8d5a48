// The result line: the run's own text where it has one, an explanation where
// the run ended without a word; the exit status from how the run ended.
#include "terminal/run_summary.h"

#include <gtest/gtest.h>

namespace vorlan::flash {
namespace {

TEST(RunSummary, SaysWhatBecameOfTheRun) {
    struct Row {
        RunFacts facts;
        std::string summary;
        int exitStatus;
    };
    // A run that ended so, with the board identified (chip 66, board code 9);
    // frames: blocks went out before the end, so the flash may hold some.
    const auto ended = [](RunEnd kind, bool frames = false, bool upgradeMode = false) {
        RunFacts facts;
        facts.result.kind = kind;
        facts.result.framesReachedBoard = frames;
        facts.result.upgradeMode = upgradeMode;
        facts.result.facts.boardIdentified = true;
        facts.result.facts.board.chipIdentity = 66;
        facts.result.facts.board.boardCode = 9;
        facts.portName = "COM3";
        return facts;
    };
    RunFacts badPort = ended(RunEnd::InvalidPort);
    badPort.result.portProblem = "/dev/ttyS2: Permission denied";
    RunFacts otherBoard = ended(RunEnd::BoardNotSuitable);
    otherBoard.result.image = {9, 4};

    const Row rows[] = {
        {ended(RunEnd::Programmed, true, true), "Program OK", 0},
        {ended(RunEnd::Programmed, true), "Program Ok", 0},
        {ended(RunEnd::ChecksumRefused), "CHK Error !!", 1},
        {ended(RunEnd::DeviceNotFound), "Device not Found", 1},
        {ended(RunEnd::ChecksumRefused, true),
         "CHK Error !! - the board holds a partial image and must be programmed again", 1},
        {ended(RunEnd::NoResponse, true),
         "not Response - the board holds a partial image and must be programmed again", 1},
        {ended(RunEnd::UserAbort, true),
         "User Abort !! - the board holds a partial image and must be programmed again", 130},
        {ended(RunEnd::UserAbort), "User Abort !! - nothing was written, the board is unchanged",
         130},
        {ended(RunEnd::OutOfStep, true),
         "Answer out of step !! - the board sent an answer to no frame of ours, so its answers "
         "no longer show which frames it wrote; the firmware may be incomplete: run the update "
         "again",
         1},
        {otherBoard,
         "the firmware in this build is for DEMO-24HJ - Preparation4, not for this board", 1},
        {badPort, "Invalid Port Com - /dev/ttyS2: Permission denied", 1},
        {ended(RunEnd::NotStarted), "COM3 could not be used", 1},
        {ended(RunEnd::NoImage), "No Hex inside !!", 1},
        {ended(RunEnd::NoImage, false, true),
         "no firmware in this build for this board (chip 66, board code 9)", 1},
        {ended(RunEnd::ImageTooBig, false, true),
         "the firmware in this build is too big for this board (chip 66, board code 9)", 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.summary);
        EXPECT_EQ(ResultSummary(row.facts), row.summary);
        EXPECT_EQ(ExitStatusOf(row.facts.result), row.exitStatus);
    }
}

}  // namespace
}  // namespace vorlan::flash
