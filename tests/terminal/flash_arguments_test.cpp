// The command line of vorlan-flash and the start-up choices it shares with
// the desktop program.
#include "terminal/flash_arguments.h"

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
        {"COM258", std::nullopt},  // the driver's table ends at COM257
        {"COM32767", std::nullopt},
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
    EXPECT_TRUE(plain.ports.empty());
    EXPECT_FALSE(plain.notify);

    const FlashArguments full = Parse({"--notify", "--port", "com7", "--stats"});
    EXPECT_EQ(full.action, FlashAction::Run);
    ASSERT_EQ(full.ports.size(), 1u);
    EXPECT_EQ(full.ports[0].comIndex, std::optional<std::int16_t>(6));
    EXPECT_EQ(full.ports[0].label, "COM7");
    EXPECT_TRUE(full.notify);
    EXPECT_TRUE(full.stats);

    // Several ports, devices among them; each run gets the options with its
    // port alone.
    const FlashArguments line = Parse({"--port", "COM2", "--json", "-p", "/dev/ttyUSB0",
                                       "--port=usb-FTDI_A1-if00", "--log", "line.log", "-q"});
    ASSERT_EQ(line.ports.size(), 3u);
    EXPECT_EQ(line.ports[1].label, "/dev/ttyUSB0");
    EXPECT_FALSE(line.ports[1].comIndex.has_value());
    EXPECT_EQ(line.ports[2].label, "usb-FTDI_A1-if00");
    EXPECT_EQ(SinglePortArguments(line, line.ports[1]),
              (std::vector<std::string>{"--port", "/dev/ttyUSB0", "--records", "--json", "--quiet",
                                        "--log", "line.log"}));

    // A production line's options reach every port's run.
    const FlashArguments station =
        Parse({"--port", "COM3", "--port", "COM4", "--count", "0x10", "--hex", "new.hex", "--chip",
               "258", "--board-code", "9", "--preparation", "0x84", "--reset", "RTS"});
    EXPECT_TRUE(station.loop);
    EXPECT_EQ(SinglePortArguments(station, station.ports[1]),
              (std::vector<std::string>{"--port", "COM4", "--records", "--loop", "--count", "16",
                                        "--hex", "new.hex", "--chip", "258", "--board-code", "9",
                                        "--preparation", "132", "--reset", "rts"}));

    EXPECT_EQ(Parse({"--list"}).action, FlashAction::List);
    EXPECT_EQ(Parse({"--firmware"}).action, FlashAction::Firmware);
    EXPECT_EQ(Parse({"-V"}).action, FlashAction::Version);
    EXPECT_EQ(Parse({"--help"}).action, FlashAction::Help);
    EXPECT_EQ(Parse({"--port", "COM1", "--help"}).action, FlashAction::Help);
}

TEST(FlashArguments, UsageErrorsNameWhatIsWrong) {
    struct Row {
        std::vector<std::string> words;
        const char* said;  // part of the error
    };
    const Row rows[] = {
        {{"--port"}, "needs a value"},
        {{"--port", "COM0"}, "COM1 to COM257"},
        {{"--port", "COM258"}, "cannot be used"},
        {{"--port", "5"}, "COM5"},
        {{"--port", "COM3x"}, "not a port"},
        {{"--port", "--json"}, "needs a port"},
        {{"--port="}, "needs a port"},
        {{"--port", "COM3", "--port", "com3"}, "named twice"},
        {{"--notify", "--port", "COM1", "--port", "COM2"}, "one --port"},
        {{"--log"}, "needs a value"},
        {{"--notify=yes"}, "takes no value"},
        {{"--bogus"}, "--bogus"},
        {{"\\P"}, "\\P"},
        {{"COM3"}, "COM3"},
        {{"--list", "--port", "COM1"}, "stand alone"},
        {{"--version", "--json"}, "stand alone"},
        {{"--count", "0"}, "from 1"},
        {{"--count", "3x"}, "'3x'"},
        {{"--identify", "--loop"}, "one board"},
        {{"--chip", "258"}, "go with --hex"},
        {{"--hex", "a.hex", "--board-code", "256"}, "0 to 255"},
        {{"--reset", "cts"}, "dtr or rts"},
    };
    for (const Row& row : rows) {
        const FlashArguments parsed = Parse(row.words);
        EXPECT_EQ(parsed.action, FlashAction::UsageError) << row.words.back();
        EXPECT_NE(parsed.error.find(row.said), std::string::npos) << parsed.error;
    }
}

}  // namespace
}  // namespace vorlan::flash
