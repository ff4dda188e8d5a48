// The build-time tools run as programs on small files in a private folder:
// the image generator must stop on every bad input with "file:line: what",
// and the demo firmware maker must reproduce the committed demo file.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

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
        {"no end record", "258", Data(0, {1, 2}), ":1: no end-of-file record"},
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

TEST_F(ToolTest, DemoFirmwareMakerReproducesTheCommittedFile) {
    const std::string firmware = VORLAN_FIRMWARE_DIR;
    ASSERT_EQ(Run(std::string(VORLAN_DEMOFW) + " '" + firmware + "/demo-24hj64.txt' '" +
                  Path("demo.hex") + "'"),
              0)
        << errors;
    EXPECT_EQ(ReadAll(folder_ / "demo.hex"), ReadAll(firmware + "/demo-24hj64.hex"));
}

}  // namespace
