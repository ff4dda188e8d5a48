// The build-time tools run as programs on small files in a private folder:
// the image generator must stop on every bad input with "file:line: what",
// the demo firmware maker must reproduce the committed demo file, and the
// shared Intel HEX writer must place data where a reader finds it.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "firmware_files/intel_hex_writer.h"

namespace {

namespace fs = std::filesystem;

// One Intel HEX record with its checksum.
std::string Record(int type, unsigned address, const std::vector<int>& data) {
    int sum = static_cast<int>(data.size()) + static_cast<int>(address >> 8) +
              static_cast<int>(address & 0xFF) + type;
    char text[16];
    std::snprintf(text, sizeof text, ":%02X%04X%02X", static_cast<unsigned>(data.size()), address,
                  static_cast<unsigned>(type));
    std::string line = text;
    for (int b : data) {
        std::snprintf(text, sizeof text, "%02X", static_cast<unsigned>(b));
        line += text;
        sum += b;
    }
    std::snprintf(text, sizeof text, "%02X\n", static_cast<unsigned>(-sum & 0xFF));
    return line + text;
}
std::string Data(unsigned address, const std::vector<int>& data) {
    return Record(0, address, data);
}
std::string Upper(unsigned upper) {
    return Record(4, 0, {int(upper >> 8), int(upper & 0xFF)});
}
std::string Segment(unsigned segment) {
    return Record(2, 0, {int(segment >> 8), int(segment & 0xFF)});
}
const std::string kEnd = Record(1, 0, {});

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class ToolTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "vorlan-catalogue-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder_ = pattern;
    }
    void TearDown() override { fs::remove_all(folder_); }

    void Write(const std::string& name, const std::string& text) {
        std::ofstream(folder_ / name, std::ios::binary) << text;
    }
    // Runs the generator on a list with one image; returns the exit status and
    // keeps both output streams.
    int Generate(const std::string& chip, int row, const std::string& hex) {
        fs::remove(folder_ / "out.cpp");
        Write("fw.hex", hex);
        Write("images.list", "identity board 9 preparation 0x04\nmask on 0x5A\nimage " + chip +
                                 " " + std::to_string(row) + " fw.hex\n");
        return Run(std::string(VORLAN_IMAGEGEN) + " '" + (folder_ / "images.list").string() +
                   "' '" + (folder_ / "out.cpp").string() + "'");
    }
    int Run(const std::string& command) {
        const int status = std::system((command + " >'" + (folder_ / "stdout").string() + "' 2>'" +
                                        (folder_ / "stderr").string() + "'")
                                           .c_str());
        output = ReadAll(folder_ / "stdout");
        errors = ReadAll(folder_ / "stderr");
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string Path(const std::string& name) const { return (folder_ / name).string(); }

    fs::path folder_;
    std::string output;
    std::string errors;
};

TEST_F(ToolTest, BadInputStopsTheBuildNamingFileAndLine) {
    std::string badChecksum = Data(0x10, {1, 2, 3, 4});
    badChecksum[badChecksum.size() - 2] ^= 1;
    const std::vector<int> sixteen(16, 0x11);
    const std::vector<int> nop{0, 0, 0, 0};
    struct Case {
        const char* what;
        std::string chip;
        std::string hex;
        std::string message;
    };
    const std::vector<Case> cases{
        {"not a record", "258", Data(0, {1, 2}) + "10000000FFFF\n" + kEnd, ":2: malformed record"},
        {"bad hex digit", "258", Data(0, {1, 2}) + Data(4, {3}) + ":0100080X00F7\n" + kEnd,
         ":3: malformed record"},
        {"short record", "258", ":0400000001\n" + kEnd, ":1: malformed record"},
        {"checksum", "2580", Data(0, {1, 2}) + badChecksum + kEnd, ":2: wrong checksum"},
        {"overlap", "24HJ64", Data(0, sixteen) + Data(0x20, sixteen) + Data(0x08, nop) + kEnd,
         ":3: data at 0x8 overlaps data of line 1"},
        {"one byte overlap", "258", Data(0, {1, 2, 3, 4}) + Data(3, {5, 6}) + kEnd,
         ":2: data at 0x3 overlaps data of line 1"},
        {"linear address wraps at 4 GiB", "24HJ64",
         Data(0, nop) + Upper(0xFFFF) + Data(0xFFFC, sixteen) + kEnd,
         ":3: data at 0x0 overlaps data of line 1"},
        {"segment offset wraps in its segment", "33FJ128",
         Segment(0x1000) + Data(0, nop) + Data(0xFFFC, sixteen) + kEnd,
         ":3: data at 0x10000 overlaps data of line 2"},
        {"no end record", "258", Data(0, {1, 2}), ":1: no end-of-file record"},
        {"data after the end record", "258", Data(0, {1, 2}) + kEnd + Data(2, {3}),
         ":3: record after the end-of-file record"},
        {"no colon", "258", Data(0, {1, 2}).substr(1) + kEnd, ":1: malformed record"},
        {"odd digit count", "258", ":0100000001FE0\n" + kEnd, ":1: malformed record"},
        {"length byte too small", "258", ":0100000001020C\n" + kEnd, ":1: malformed record"},
        {"length byte too large", "258", ":04000000010203F6\n" + kEnd, ":1: malformed record"},
        {"line longer than any record", "258", ":" + std::string(600, '0') + "\n" + kEnd,
         ":1: malformed record"},
        {"end record with data", "258", Data(0, {1, 2}) + Record(1, 0, {0}), ":2: malformed end"},
        {"unknown type", "258", Record(6, 0, {}) + kEnd, ":1: malformed record (unknown type 6)"},
        {"segment record of 1 byte", "258", Record(2, 0, {1}) + kEnd, ":1: malformed address"},
        {"linear record of 3 bytes", "258", Record(4, 0, {0, 0, 1}) + kEnd,
         ":1: malformed address"},
        {"start segment of 2 bytes", "258", Record(3, 0, {0, 0}) + kEnd, ":1: malformed start"},
        {"start linear of 5 bytes", "258", Record(5, 0, {0, 0, 0, 0, 0}) + kEnd,
         ":1: malformed start"},
        {"PIC18 above limit", "258", Data(0, {1, 2}) + Data(0x7EC0, {1, 2}) + kEnd,
         ":2: program data at 0x7EC0 above the limit 0x7EC0 of chip 258"},
        {"PIC18 boot loader area", "24J10", Data(0, {1, 2}) + Data(0x3BC0, {1, 2}) + kEnd,
         ":2: program data at 0x3BC0 above the limit 0x3BC0"},
        {"16-bit above limit", "24HJ64", Data(0, nop) + Upper(1) + Data(0x4F00, nop) + kEnd,
         ":3: program data at 0x14F00 above the limit 0x14F00 of chip 24HJ64"},
        {"EEPROM over 256 bytes", "2480",
         Data(0, {1, 2}) + Upper(0xF0) + Data(0x00F8, sixteen) + kEnd,
         ":3: EEPROM data at 0xF00100 beyond the 256 bytes"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Generate(c.chip, 0, c.hex), 1);
        EXPECT_NE(errors.find(Path("fw.hex") + c.message), std::string::npos) << errors;
        EXPECT_FALSE(fs::exists(folder_ / "out.cpp"));
    }
}

// Spellings the format allows read as the plain file does: the generated
// source is the same.
TEST_F(ToolTest, AllowedSpellingsGiveTheSameImage) {
    const std::string a = Data(0, {0xAB, 0xCD, 0xEF, 0x00, 1, 2, 3, 4});
    const std::string b = Data(8, {0xA5, 0x5A});
    ASSERT_EQ(Generate("24HJ64", 0, a + b + kEnd), 0) << errors;
    const std::string plain = ReadAll(folder_ / "out.cpp");
    std::string lower = a + b + kEnd;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const auto crlf = [](std::string line) { return line.insert(line.size() - 1, "\r"); };
    std::string blanks = b;
    blanks.insert(blanks.size() - 1, " \t");
    const std::vector<std::pair<const char*, std::string>> variants{
        {"lower case", lower},
        {"CR LF, blank lines, trailing blanks", crlf(a) + "\n" + blanks + crlf(kEnd) + "\r\n"},
        {"start addresses", Record(3, 0, {0, 0, 1, 2}) + a + b + Record(5, 0, {0, 0, 0, 0}) + kEnd},
        {"empty data record inside other data", a + Data(2, {}) + b + kEnd},
        {"address records naming page 0", Segment(0) + a + Upper(0) + b + kEnd},
    };
    for (const auto& [what, hex] : variants) {
        SCOPED_TRACE(what);
        ASSERT_EQ(Generate("24HJ64", 0, hex), 0) << errors;
        EXPECT_EQ(ReadAll(folder_ / "out.cpp"), plain);
    }
}

// The program image is whole instructions: 2 bytes on PIC18, 4 on 16-bit
// parts, the rest erased.
TEST_F(ToolTest, ImageEndsOnAWholeInstruction) {
    struct Case {
        std::string chip;
        std::vector<int> data;
        std::string program;
    };
    const std::vector<Case> cases{
        {"258", {1, 2, 3}, "gProgramF0R0[4] = {\n    0x01, 0x02, 0x03, 0xFF,\n};"},
        {"24HJ64",
         {1, 2, 3, 0, 4, 5},
         "gProgramF6R0[8] = {\n    0x01, 0x02, 0x03, 0x00, 0x04, 0x05, 0xFF, 0x00,\n};"},
        {"24HJ64",
         {1, 2, 3, 0, 4},
         "gProgramF6R0[8] = {\n    0x01, 0x02, 0x03, 0x00, 0x04, 0xFF, 0xFF, 0x00,\n};"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.program);
        ASSERT_EQ(Generate(c.chip, 0, Data(0, c.data) + kEnd), 0) << errors;
        EXPECT_NE(ReadAll(folder_ / "out.cpp").find(c.program), std::string::npos);
    }
}

TEST_F(ToolTest, BadListEntryNamesTheListLine) {
    EXPECT_EQ(Generate("24HJ64", 3, Data(0, {0, 0, 0, 0}) + kEnd), 1);
    EXPECT_NE(errors.find(Path("images.list") + ":3: chip 24HJ64 has no slot for board row 3"),
              std::string::npos)
        << errors;
    EXPECT_EQ(Generate("18F999", 0, kEnd), 1);
    EXPECT_NE(errors.find(Path("images.list") + ":3: unknown chip"), std::string::npos) << errors;
}

TEST_F(ToolTest, Pic18FileWithEepromAndConfigurationRecords) {
    const std::string hex = Data(0x0000, {0x10, 0xEF, 0x00, 0xF0}) +  // goto 0x20
                            Data(0x000E, {0x53, 0x5E}) + Data(0x0020, {0x12, 0x00}) + Upper(0x30) +
                            Data(0x0000, {0x00, 0x22, 0x0E, 0x0E}) +  // config
                            Upper(0xF0) + Data(0x0000, {0xAA, 0xBB}) + Data(0x0003, {0xCC}) + kEnd;
    ASSERT_EQ(Generate("2580", 2, hex), 0) << errors;
    EXPECT_NE(output.find(Path("fw.hex") + ":5: note: configuration data left out"),
              std::string::npos)
        << output;

    const std::string source = ReadAll(folder_ / "out.cpp");
    // Head = first instruction; gaps erased; EEPROM from address 0, gap erased.
    EXPECT_NE(source.find("{2, 1, kHeadF1R2, 4, gProgramF1R2, 34, kEepromF1R2, 4}"),
              std::string::npos);
    EXPECT_NE(source.find("kHeadF1R2[4] = {\n    0x10, 0xEF, 0x00, 0xF0,\n};"), std::string::npos);
    EXPECT_NE(source.find("gProgramF1R2[34] = {\n    0x10, 0xEF, 0x00, 0xF0, 0xFF, 0xFF, 0xFF, "
                          "0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x53, 0x5E,"),
              std::string::npos);
    EXPECT_NE(source.find("kEepromF1R2[4] = {\n    0xAA, 0xBB, 0xFF, 0xCC,\n};"),
              std::string::npos);
    // Every other wired slot is a placeholder; the identity and mask are carried.
    EXPECT_NE(source.find("{0, 6, kHeadF6R0, 1, gProgramF6R0, 1, kEepromF6R0, 1}"),
              std::string::npos);
    EXPECT_NE(source.find("kImageBoardCode = 0x09;"), std::string::npos);
    EXPECT_NE(source.find("kImageMaskConstant = 0x5A;"), std::string::npos);
}

TEST_F(ToolTest, SixteenBitGapsAreErasedInstructionsAndConfigurationIsLeftOut) {
    const std::string hex = Data(0x0000, {0x00, 0x03, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00}) +
                            Data(0x0010, {0x00, 0x60, 0xFE, 0x00}) + Upper(0x01F0) +
                            Data(0x0000, {0xCF, 0x00, 0x00, 0x00}) + kEnd;
    ASSERT_EQ(Generate("33FJ128", 0, hex), 0) << errors;
    EXPECT_NE(output.find(":4: note: configuration data left out"), std::string::npos) << output;
    const std::string source = ReadAll(folder_ / "out.cpp");
    EXPECT_NE(source.find("{0, 7, kHeadF7R0, 8, gProgramF7R0, 20, kEepromF7R0, 0}"),
              std::string::npos);
    EXPECT_NE(source.find("gProgramF7R0[20] = {\n    0x00, 0x03, 0x04, 0x00, 0x00, 0x00, 0x00, "
                          "0x00, 0xFF, 0xFF, 0xFF, 0x00, 0xFF, 0xFF, 0xFF, 0x00,\n    0x00, "
                          "0x60, 0xFE, 0x00,\n};"),
              std::string::npos);
}

// Data running past 4 GiB goes on at 0, as a reader places it.
TEST(IntelHexWriter, RecordsStopAtPageEndsAndEachPageIsAnnounced) {
    vorlan::intel_hex::IntelHexWriter writer(4);
    writer.AddData(0xFFFFFFFD, std::vector<std::uint8_t>{1, 2, 3, 4, 5});
    EXPECT_EQ(writer.Finish(),
              ":02000004FFFFFC\n:03FFFD00010203FB\n:020000040000FA\n:020000000405F5\n"
              ":00000001FF\n");
}

TEST_F(ToolTest, DemoFirmwareMakerReproducesTheCommittedFile) {
    const std::string firmware = VORLAN_FIRMWARE_DIR;
    ASSERT_EQ(Run(std::string(VORLAN_DEMOFW) + " '" + firmware + "/demo-24hj64.txt' '" +
                  Path("demo.hex") + "'"),
              0)
        << errors;
    EXPECT_EQ(ReadAll(folder_ / "demo.hex"), ReadAll(firmware + "/demo-24hj64.hex"));
}

}  // namespace
