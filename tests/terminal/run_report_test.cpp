// What vorlan-flash reports at the end of a run: the result line, the JSON
// that scripts and the log read, and the exit status of several runs.
#include "terminal/run_report.h"

#include <gtest/gtest.h>

#include "terminal/json_record.h"
#include "terminal/parallel_runs.h"

namespace vorlan::flash {
namespace {

// Whatever bytes a text holds, its JSON is valid and reads back as the text.
TEST(RunReport, JsonTextsAreValidWhateverBytesTheyHold) {
    const std::pair<std::string, std::string> rows[] = {
        {"DEMO BOOT 1.0", "DEMO BOOT 1.0"},
        {"say \"hi\" \\ bye", "say \"hi\" \\ bye"},
        {std::string("a\nb\tc\0d", 7), std::string("a\nb\tc\0d", 7)},
        {"Gr\xC3\xBC\xC3\x9F", "Gr\xC3\xBC\xC3\x9F"},          // UTF-8 passes through
        {"\xFF\xC3", "\xC3\xBF\xC3\x83"},                      // stray bytes as Latin-1
        {"\xE0\x80\x80\x7F", "\xC3\xA0\xC2\x80\xC2\x80\x7F"},  // an overlong form
    };
    for (const auto& [bytes, text] : rows) {
        const std::string line = OneLine(JsonRecord{{"release", JsonText(bytes)}});
        EXPECT_EQ(JsonRecord::parse(line)["release"].get<std::string>(), text) << line;
    }
}

TEST(RunReport, TheResultLineNamesPortBoardAndOutcome) {
    RunFacts programmed;
    programmed.result.kind = RunEnd::Programmed;
    programmed.result.upgradeMode = true;
    programmed.portName = "COM5";
    programmed.result.facts.boardIdentified = true;
    programmed.result.facts.board = {9, 254, 9, 4};
    programmed.result.facts.fullIdentity = true;
    programmed.seconds = 6.34;
    RunFacts skipped = programmed;
    skipped.result.facts.skippedBlocks = 9;
    RunFacts stopped = programmed;
    stopped.result.kind = RunEnd::UserAbort;
    stopped.result.framesReachedBoard = true;
    stopped.result.facts.blocksSent = 69;
    RunFacts notFound;
    notFound.result.kind = RunEnd::DeviceNotFound;
    notFound.portName = "/dev/ttyUSB0";
    notFound.seconds = 10;

    EXPECT_EQ(ResultLine(programmed), "COM5 DEMO-24HJ (24HJ64, BIOS 09): Program OK (6.3 s)");
    EXPECT_EQ(ResultLine(skipped),
              "COM5 DEMO-24HJ (24HJ64, BIOS 09): Program OK (6.3 s, 9 blocks "
              "left out as the board asks)");
    EXPECT_EQ(ResultLine(stopped),
              "COM5 DEMO-24HJ (24HJ64, BIOS 09): FAILED - User Abort !! - the board holds a "
              "partial image and must be programmed again (6.3 s)");
    EXPECT_EQ(ResultLine(notFound), "/dev/ttyUSB0: FAILED - Device not Found (10.0 s)");
    EXPECT_NE(ResultJson(stopped).find(R"("blocks_sent":69,"resends":0,"skipped_blocks":0,)"),
              std::string::npos);
    EXPECT_EQ(ResultJson(notFound, "2025-01-02T03:04:05.006Z")
                  .rfind(R"({"time":"2025-01-02T03:04:05.006Z","event":"result",)", 0),
              0u);
}

TEST(RunReport, SeveralRunsSucceedOnlyWhenEveryBoardWasProgrammed) {
    const std::pair<std::vector<int>, int> rows[] = {
        {{0, 0, 0}, 0}, {{0, 1, 0}, 1},     {{0, 3, 0}, 3},  // programmed, one log line missing
        {{3, 1}, 1},    {{1, 130, 0}, 130},                  // a stop outweighs everything
        {{139}, 1},                                          // a run that crashed
    };
    for (const auto& [statuses, combined] : rows) {
        EXPECT_EQ(CombinedExitStatus(statuses), combined);
    }
}

}  // namespace
}  // namespace vorlan::flash
