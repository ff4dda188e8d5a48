// The command line of vorlan-board: what each option sets, and what it refuses.
#include "emulator/board_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vorlan::board::test {
namespace {

ParsedEmulatorOptions Parse(std::vector<std::string> args) {
    args.insert(args.begin(), "vorlan-board");
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    return ParseEmulatorOptions(static_cast<int>(argv.size()), argv.data());
}

EmulatorOptions Options(std::vector<std::string> args) {
    auto parsed = Parse(std::move(args));
    EXPECT_TRUE(std::holds_alternative<EmulatorOptions>(parsed));
    return std::holds_alternative<EmulatorOptions>(parsed) ? std::get<EmulatorOptions>(parsed)
                                                           : EmulatorOptions{};
}

TEST(BoardOptions, DefaultsAreThePic24DemoBoard) {
    const EmulatorOptions options = Options({});
    EXPECT_EQ(options.board.chipIdentity, 254);
    EXPECT_EQ(options.board.biosByte, 9);
    EXPECT_EQ(options.board.releaseText, "DEMO BOOT 1.0");
    EXPECT_FALSE(options.board.shortIdentity);
    EXPECT_EQ(options.comNumber, 0);
    EXPECT_FALSE(options.lineRate);
}

TEST(BoardOptions, BoardsOneAfterAnother) {
    const EmulatorOptions one = Options({});
    EXPECT_EQ(one.boards, 1);
    const EmulatorOptions line =
        Options({"--boards", "0", "--stay", "10", "--away", "0x20", "--vanish"});
    EXPECT_EQ(line.boards, 0);
    EXPECT_EQ(line.stayMs, 10u);
    EXPECT_EQ(line.awayMs, 0x20u);
    EXPECT_TRUE(line.vanish);
    EXPECT_TRUE(std::holds_alternative<OptionError>(Parse({"--boards", "-1"})));
    EXPECT_TRUE(std::holds_alternative<OptionError>(Parse({"--away", "1h"})));
}

TEST(BoardOptions, SetsTheBoardTheFaultsAndTheTiming) {
    const EmulatorOptions o =
        Options({"--com",   "12",       "--chip",       "0x42",        "--bios",     "5",
                 "--board", "9",        "--prep",       "0x84",        "--short",    "--release",
                 "REL 2",   "--skip",   "0x4000:0x400", "--refuse",    "3:5",        "--refuse",
                 "7:1",     "--silent", "10",           "--stray",     "5:3f11",     "--hangup",
                 "100",     "--late",   "1.5",          "--line-rate", "--write-ms", "4",
                 "--dump",  "b.hex",    "--replace",    "--latency",   "16"});
    EXPECT_EQ(o.comNumber, 12);
    EXPECT_EQ(o.board.chipIdentity, 0x42);
    EXPECT_EQ(o.board.biosByte, 5);
    EXPECT_EQ(o.board.boardCode, 9);
    EXPECT_EQ(o.board.preparation, 0x84);
    EXPECT_TRUE(o.board.shortIdentity);
    EXPECT_EQ(o.board.releaseText, "REL 2");
    EXPECT_EQ(o.board.skipStart, 0x4000);
    EXPECT_EQ(o.board.skipLength, 0x400);
    EXPECT_EQ(o.faults.refuse, (std::map<int, int>{{3, 5}, {7, 1}}));
    EXPECT_EQ(o.faults.silent, (std::set<int>{10}));
    EXPECT_EQ(o.faults.stray.at(5), (Bytes{0x3F, 0x11}));
    EXPECT_EQ(o.faults.hangUpAfter, 100);
    EXPECT_EQ(o.board.answerSearchFromMs, 1500u);
    EXPECT_TRUE(o.lineRate);
    EXPECT_EQ(o.writeMs, 4u);
    EXPECT_EQ(o.latencyMs, 16u);
    EXPECT_EQ(o.dumpFile, "b.hex");
    EXPECT_TRUE(o.replaceLink);
}

TEST(BoardOptions, SetsTheLineFaults) {
    const EmulatorOptions o =
        Options({"--refuse-ack", "2", "--after", "3:4B", "--noise", "7:00FF", "--ack-flood", "50",
                 "--answer-ms", "900", "--after-identity", "520100"});
    EXPECT_EQ(o.faults.refuseWithAck, (std::set<int>{2}));
    EXPECT_EQ(o.faults.afterAnswer.at(3), (Bytes{'K'}));
    EXPECT_EQ(o.faults.noise, (Bytes{0x00, 0xFF}));
    EXPECT_EQ(o.faults.noiseEveryMs, 7u);
    EXPECT_EQ(o.faults.ackFloodMs, 50);
    EXPECT_EQ(o.faults.answerDelayMs, 900u);
    EXPECT_EQ(o.faults.afterIdentity, (Bytes{'R', 0x01, 0x00}));
}

TEST(BoardOptions, RefusesValuesOutOfRangeOrMalformed) {
    const std::vector<std::vector<std::string>> bad = {
        {"--com", "0"},
        {"--com", "256"},
        {"--chip", "256"},
        {"--bios", "-1"},
        {"--board", "9x"},
        {"--prep", ""},
        {"--skip", "5"},
        {"--skip", "1:0x10000"},
        {"--refuse", "3"},
        {"--refuse", "a:1"},
        {"--silent", "-2"},
        {"--stray", "5:3"},
        {"--stray", "5:zz"},
        {"--stray", "5"},
        {"--late", "x"},
        {"--late", "-1"},
        {"--late", "nan"},
        {"--write-ms", "1e3"},
        {"--com"},
        {"--frobnicate"},
        {"--latency", "1001"},
        {"--noise", "0:00"},
        {"--after", "1"},
        {"--ack-flood", "x"},
        {"--after-identity", "5"},
    };
    for (const auto& args : bad) {
        SCOPED_TRACE(args.front() + (args.size() > 1 ? " " + args[1] : ""));
        EXPECT_TRUE(std::holds_alternative<OptionError>(Parse(args)));
    }
    EXPECT_TRUE(std::holds_alternative<HelpRequested>(Parse({"--chip", "66", "--help"})));
    EXPECT_TRUE(std::holds_alternative<VersionRequested>(Parse({"--version"})));
}

}  // namespace
}  // namespace vorlan::board::test
