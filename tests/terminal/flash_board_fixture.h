// The fixture of the vorlan-flash runs against vorlan-board: a private port
// folder and settings folder, emulators started as COM<n> (several at once if
// need be), vorlan-flash started with a deadline, its output and status, and
// the memory a board was left with.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <list>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/image_table.h"
#include "engine/status_reporting.h"
#include "tests/terminal/process_runner.h"
#include "firmware_files/intel_hex_reader.h"

namespace vorlan::terminal_test {

using Bytes = std::vector<std::uint8_t>;

// A search that finds nothing takes about 10 s.
inline constexpr auto kRunLimit = std::chrono::seconds(60);
inline constexpr auto kBoardStartLimit = std::chrono::seconds(10);

// The demo board: a PIC24HJ64 (chip identity 254), program memory in bytes.
inline constexpr int kBytesPerAddress = 2;
inline constexpr std::uint32_t kMemoryBytes = 0xA800 * kBytesPerAddress;

inline bool UpgradeBuild() {
    return SelectsUpgradeWindow(VORLAN_BUILD_VERSION);
}
inline std::string SuccessText() {
    return UpgradeBuild() ? "Program OK" : " Program Ok ";
}

inline constexpr int kDemoFamily = 6;                   // image table column of the PIC24HJ64
inline constexpr std::uint32_t kProgramLimit = 0xA780;  // address units
inline constexpr int kBlockSize = 256;                  // data bytes per block
// GOTO 0xA800, the boot loader's entry, in image byte order.
inline const Bytes kJumpBlock = {0x00, 0xA8, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00};

// Board memory after a complete run of the demo image: the image with the
// jump to the boot loader in its first bytes, and the image's own first
// instruction at the end of the block at the program limit.
inline Bytes ExpectedProgramMemory() {
    const ImageDescriptor image = StoredSlot(0, kDemoFamily);
    Bytes memory(kMemoryBytes, 0xFF);
    std::copy(image.programData, image.programData + image.programLength, memory.begin());
    std::copy(kJumpBlock.begin(), kJumpBlock.end(), memory.begin());
    const std::size_t headEnd = kProgramLimit * kBytesPerAddress + kBlockSize;
    std::copy(image.headData, image.headData + image.headLength,
              memory.begin() + static_cast<std::ptrdiff_t>(headEnd) - image.headLength);
    return memory;
}

struct FlashResult {
    std::optional<int> exit;  // empty: killed at the time limit
    std::string out;
    std::string err;
};

class FlashAgainstBoard : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::filesystem::exists(VORLAN_FLASH_PROGRAM)) {
            GTEST_SKIP() << "vorlan-flash is not built";
        }
        std::filesystem::create_directories(Ports());
        std::filesystem::create_directories(Settings());
    }
    void TearDown() override { StopBoard(); }

    std::filesystem::path Ports() const { return folder_.Path() / "ports"; }
    std::filesystem::path Settings() const { return folder_.Path() / "settings"; }
    std::filesystem::path Dump(int com) const {
        return folder_.Path() / ("board" + std::to_string(com) + ".hex");
    }
    std::filesystem::path Log() const { return folder_.Path() / "line.log"; }
    std::filesystem::path Work() const { return folder_.Path(); }
    // Where failed runs' traces go: <state>/vorlan/traces.
    std::filesystem::path State() const { return folder_.Path() / "state"; }
    std::filesystem::path FlashOut() const { return folder_.Path() / "flash.out"; }
    std::filesystem::path MissingDevice() const { return folder_.Path() / "no-such-device"; }
    std::map<std::string, std::string> Environment() const {
        return {{"VORLAN_PORT_DIR", Ports().string()},
                {"VORLAN_SETTINGS_DIR", Settings().string()},
                {"XDG_STATE_HOME", State().string()}};
    }

    // Starts an emulator as COM<com> with the extra options, beside any
    // started before; skips the test when the emulator is not built.
    void StartBoard(int com, std::vector<std::string> options = {}) {
        if (!std::filesystem::exists(VORLAN_BOARD_PROGRAM)) {
            GTEST_SKIP() << "vorlan-board is not built";
        }
        options.insert(options.begin(),
                       {"--com", std::to_string(com), "--dump", Dump(com).string()});
        const std::string name = "board" + std::to_string(com);
        const auto out = folder_.Path() / (name + ".out");
        const auto err = folder_.Path() / (name + ".err");
        ChildProcess& board =
            boards_.emplace_back(VORLAN_BOARD_PROGRAM, options, Environment(), out, err);
        lastCom_ = com;
        ASSERT_TRUE(board.Started());
        ASSERT_TRUE(WaitForText(out, "\n", kBoardStartLimit))
            << "vorlan-board did not start: " << ReadFile(err);
        EXPECT_NE(ReadFile(out).find("COM" + std::to_string(com)), std::string::npos)
            << ReadFile(out);
    }

    // Ends the emulators, which write their dumps as they go.
    void StopBoard() {
        for (ChildProcess& board : boards_) {
            board.Signal(SIGTERM);
            EXPECT_TRUE(board.Wait(std::chrono::seconds(10)).has_value())
                << "vorlan-board did not end";
        }
        boards_.clear();
    }

    ChildProcess StartFlash(const std::vector<std::string>& arguments) {
        return ChildProcess(VORLAN_FLASH_PROGRAM, arguments, Environment(), FlashOut(),
                            folder_.Path() / "flash.err");
    }

    FlashResult Finish(ChildProcess& flash, std::chrono::milliseconds limit = kRunLimit) {
        FlashResult result;
        result.exit = flash.Wait(limit);
        result.out = ReadFile(FlashOut());
        result.err = ReadFile(folder_.Path() / "flash.err");
        return result;
    }

    FlashResult RunFlash(const std::vector<std::string>& arguments) {
        ChildProcess flash = StartFlash(arguments);
        return Finish(flash);
    }

    // Program memory from the dump of the board started last; addresses it
    // leaves out are erased.
    Bytes DumpedProgramMemory() {
        StopBoard();
        return ProgramMemoryIn(Dump(lastCom_));
    }
    // The same from a dump file (board n of an emulator with --boards:
    // board<com>-<n>.hex).
    static Bytes ProgramMemoryIn(const std::filesystem::path& dump) {
        std::vector<intel_hex::DataRecord> records;
        std::string error;
        EXPECT_TRUE(intel_hex::ReadIntelHexFile(dump.string(), records, error)) << error;
        Bytes memory(kMemoryBytes, 0xFF);
        for (const intel_hex::DataRecord& record : records) {
            for (std::size_t i = 0; i < record.data.size(); ++i) {
                if (record.address + i < memory.size())
                    memory[record.address + i] = record.data[i];
            }
        }
        return memory;
    }

private:
    TempFolder folder_;
    std::list<ChildProcess> boards_;
    int lastCom_ = 0;
};

// The last printed line: the result.
inline std::string LastLine(const std::string& out) {
    const auto end = out.find_last_not_of('\n');
    if (end == std::string::npos) {
        return "";
    }
    const auto start = out.rfind('\n', end);
    return out.substr(start == std::string::npos ? 0 : start + 1, end - start);
}

inline bool HasLine(const std::string& out, const std::string& line) {
    return ("\n" + out).find("\n" + line + "\n") != std::string::npos;
}

}  // namespace vorlan::terminal_test
