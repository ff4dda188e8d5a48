// The command line of vorlan-flash and the start-up choices it shares with
// the desktop program.
#include "tools/flash/flash_arguments.h"

#include <gtest/gtest.h>

namespace vorlan::flash {
namespace {

FlashArguments Parse(std::vector<std::string> words) {
    words.insert(words.begin(), "vorlan-flash");
    return ParseFlashArguments(words);
}

TEST(FlashArguments, PortNamesInAnyCaseGiveTheIndexBelowTheNumber) {
    struct Row {
        const char* name;
        std::optional<std::int16_t> index;
    };
    const Row rows[] = {
        {"COM1", 0},
        {"com5", 4},
        {"Com12", 11},
        {"COM257", 256},
        {"COM0003", 2},
        {"COM32767", 32766},
        {"COM0", std::nullopt},
        {"COM", std::nullopt},
        {"COM-1", std::nullopt},
        {"COM+2", std::nullopt},
        {"COM 3", std::nullopt},
        {"COM3x", std::nullopt},
        {"/dev/ttyS0", std::nullopt},
        {"5", std::nullopt},
        {"COM32768", std::nullopt},
        {"COM99999999999", std::nullopt},
        {"", std::nullopt},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(PortIndexOfComName(row.name), row.index) << row.name;
    }
}

TEST(FlashArguments, OptionsAndTheirCombinations) {
    const FlashArguments plain = Parse({});
    EXPECT_EQ(plain.action, FlashAction::Run);
    EXPECT_FALSE(plain.portIndex.has_value());
    EXPECT_FALSE(plain.notify);

    const FlashArguments full = Parse({"--notify", "--port", "com7", "--stats"});
    EXPECT_EQ(full.action, FlashAction::Run);
    EXPECT_EQ(full.portIndex, std::optional<std::int16_t>(6));
    EXPECT_TRUE(full.notify);
    EXPECT_TRUE(full.stats);

    EXPECT_EQ(Parse({"--port=COM2"}).portIndex, std::optional<std::int16_t>(1));
    EXPECT_EQ(Parse({"--list"}).action, FlashAction::List);
    EXPECT_EQ(Parse({"--help"}).action, FlashAction::Help);
    EXPECT_EQ(Parse({"--port", "COM1", "--help"}).action, FlashAction::Help);
}

TEST(FlashArguments, UsageErrorsNameWhatIsWrong) {
    const std::vector<std::vector<std::string>> cases = {
        {"--port"},  {"--port", "COM0"}, {"--port", "ttyUSB0"},
        {"--port="}, {"--notify=yes"},   {"--bogus"},
        {"\\P"},     {"COM3"},           {"--list", "--port", "COM1"},
    };
    for (const auto& words : cases) {
        const FlashArguments parsed = Parse(words);
        EXPECT_EQ(parsed.action, FlashAction::UsageError) << words.front();
        EXPECT_FALSE(parsed.error.empty());
    }
    EXPECT_NE(Parse({"--port", "ttyUSB0"}).error.find("ttyUSB0"), std::string::npos);
}

}  // namespace
}  // namespace vorlan::flash
