// The board model as the updater meets it: identity answers, information
// frame, block and EEPROM storage, refusals, framing and the memory dump.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <string>

#include "tests/board/board_frames.h"
#include "firmware_files/intel_hex_reader.h"

namespace vorlan::board::test {
namespace {

BoardConfig Pic24(std::uint8_t bios = 9) {
    BoardConfig config;
    config.chipIdentity = 254;
    config.biosByte = bios;
    config.boardCode = 0x21;
    config.preparation = 0x84;
    return config;
}

BoardConfig Pic18() {
    BoardConfig config;
    config.chipIdentity = 66;
    config.biosByte = 5;
    return config;
}

// A model that has answered one search byte, its answer dropped.
BootLoaderModel Searched(BoardConfig config, BoardFaults faults = {}) {
    BootLoaderModel model(std::move(config), std::move(faults));
    model.Receive({0xC2});
    return model;
}

struct IdentityCase {
    const char* name;
    std::uint8_t searchByte;
    std::uint8_t bios;
    bool shortAnswer;
    Bytes expectedStart;
    bool withInfoFrame;
};

TEST(BoardIdentity, AnswersEachSearchByteByItsConfiguredIdentity) {
    const IdentityCase cases[] = {
        {"full, bios 9, 0xC2", 0xC2, 9, false, {'V', 9, 254, 0x21, 0x84, 'K'}, true},
        {"full, bios 9, 0xC5", 0xC5, 9, false, {'V', 9, 254, 0x21, 0x84, 'K'}, true},
        {"full, bios 8", 0xC2, 8, false, {'V', 8, 254, 0x21, 0x84, 'K'}, true},
        {"full, bios 31", 0xC2, 31, false, {'V', 31, 254, 0x21, 0x84, 'K'}, true},
        {"full, bios 7: no frame", 0xC2, 7, false, {'V', 7, 254, 0x21, 0x84, 'K'}, false},
        {"full, bios 32: no frame", 0xC5, 32, false, {'V', 32, 254, 0x21, 0x84, 'K'}, false},
        {"short", 0xC2, 9, true, {254, 'K'}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        BoardConfig config = Pic24(c.bios);
        config.shortIdentity = c.shortAnswer;
        BootLoaderModel model(config);
        const Bytes answer = model.Receive({c.searchByte});
        ASSERT_GE(answer.size(), c.expectedStart.size());
        EXPECT_EQ(Bytes(answer.begin(), answer.begin() + c.expectedStart.size()), c.expectedStart);
        EXPECT_EQ(answer.size() > c.expectedStart.size(), c.withInfoFrame);
        EXPECT_EQ(model.Sessions(), 1);
    }
}

TEST(BoardIdentity, InformationFrameCarriesTextAndSkipWindowLittleEndian) {
    BoardConfig config = Pic24();
    config.releaseText = "DEMO BOOT 1.0";
    config.skipStart = 0x4000;
    config.skipLength = 0x0412;
    BootLoaderModel model(config);
    const Bytes answer = model.Receive({0xC2});

    Bytes expected = {'V', 9, 254, 0x21, 0x84, 'K', 'R', 28, 0x00};
    const std::string text = "DEMO BOOT 1.0";
    expected.insert(expected.end(), text.begin(), text.end());
    expected.resize(expected.size() + 24 - text.size(), 0);
    expected.insert(expected.end(), {0x00, 0x40, 0x12, 0x04, 'K'});
    EXPECT_EQ(answer, expected);
}

TEST(BoardIdentity, ReleaseTextIsCutAtTwentyFourCharacters) {
    BoardConfig config = Pic24();
    config.releaseText = std::string(30, 'x');
    BootLoaderModel model(config);
    const Bytes answer = model.Receive({0xC2});
    ASSERT_EQ(answer.size(), 6u + 3u + 28u + 1u);
    EXPECT_EQ(answer[9 + 23], 'x');
    EXPECT_EQ(answer[9 + 24], 0x00);  // skip window start, low byte
}

TEST(BoardLink, IgnoresEverythingButSearchBytesBeforeTheFirstSearch) {
    BootLoaderModel model(Pic24());
    EXPECT_TRUE(model.Receive({0xCC}).empty());
    // (Data free of search bytes: any 0xC2 or 0xC5 would be heard as one.)
    EXPECT_TRUE(model.Receive(BlockFrame(0, Bytes(256, 0x00), 2)).empty());
    EXPECT_EQ(model.WriteCount(), 0u);
    EXPECT_EQ(model.Sessions(), 0);
}

TEST(BoardLink, ProgrammingModeIsAnsweredAsConfigured) {
    BootLoaderModel answering = Searched(Pic24());
    EXPECT_EQ(answering.Receive({0xCC}), Ack());

    BoardConfig config = Pic24();
    config.programmingModeReply.reset();
    BootLoaderModel mute = Searched(config);
    EXPECT_TRUE(mute.Receive({0xCC}).empty());
    EXPECT_EQ(mute.Log().back().kind, FrameKind::ProgrammingMode);
}

TEST(BoardLink, BadChecksumIsRefusedAndTheResendKeepsItsNumber) {
    BootLoaderModel model = Searched(Pic24());
    Bytes frame = BlockFrame(0x80, Pattern(256, 3), 2);
    Bytes spoilt = frame;
    spoilt.back() ^= 0x01;
    EXPECT_EQ(model.Receive(spoilt), Refusal());
    EXPECT_EQ(model.WriteCount(), 0u);
    EXPECT_EQ(model.Receive(frame), Ack());
    ASSERT_EQ(model.Log().size(), 3u);
    EXPECT_FALSE(model.Log()[1].checksumOk);
    EXPECT_EQ(model.Log()[1].number, 0);
    EXPECT_EQ(model.Log()[2].number, 0);
    EXPECT_TRUE(model.Log()[2].stored);
}

TEST(BoardMemory, StoresPic18BlocksAtTheirByteAddress) {
    BootLoaderModel model = Searched(Pic18());
    const Bytes full = Pattern(64, 10);
    const Bytes last = Pattern(36, 90);
    EXPECT_EQ(model.Receive(BlockFrame(0x0000, full, 1)), Ack());
    EXPECT_EQ(model.Receive(BlockFrame(0x0040, last, 1)), Ack());

    const Bytes& memory = model.ProgramMemory();
    ASSERT_EQ(memory.size(), 0x8000u);
    EXPECT_EQ(Bytes(memory.begin(), memory.begin() + 64), full);
    EXPECT_EQ(Bytes(memory.begin() + 64, memory.begin() + 100), last);
    EXPECT_EQ(memory[100], 0xFF);
    EXPECT_EQ(model.Log().back().address, 0x40u);
}

TEST(BoardMemory, StoresSixteenBitBlocksAtTwiceTheirAddress) {
    BootLoaderModel model = Searched(Pic24());
    const Bytes block = Pattern(256, 20);
    EXPECT_EQ(model.Receive(BlockFrame(0x0080, block, 2)), Ack());
    // The head block at the program limit ends at the top of memory.
    const Bytes head = Pattern(256, 40);
    EXPECT_EQ(model.Receive(BlockFrame(0xA780, head, 2)), Ack());

    const Bytes& memory = model.ProgramMemory();
    ASSERT_EQ(memory.size(), 0xA800u * 2);
    EXPECT_EQ(Bytes(memory.begin() + 0x100, memory.begin() + 0x200), block);
    EXPECT_EQ(memory[0xFF], 0xFF);
    EXPECT_EQ(Bytes(memory.end() - 256, memory.end()), head);
}

TEST(BoardMemory, RefusesBlocksOutsideMemoryOrLargerThanABlock) {
    BootLoaderModel model = Searched(Pic24());
    EXPECT_EQ(model.Receive(BlockFrame(0xA800, Pattern(2, 1), 2)), Refusal());
    EXPECT_EQ(model.Receive(BlockFrame(0xA7FF, Pattern(4, 1), 2)), Refusal());
    EXPECT_EQ(model.Receive(BlockFrame(0xFFFFFF, Pattern(2, 1), 2)), Refusal());
    // Oversized: read to its announced end, so the next frame is in step.
    EXPECT_EQ(model.Receive(BlockFrame(0, Pattern(300, 1), 2)), Refusal());
    EXPECT_EQ(model.Receive(BlockFrame(0, Pattern(256, 1), 2)), Ack());
    EXPECT_EQ(model.WriteCount(), 1u);
}

TEST(BoardMemory, StoresEepromBytes) {
    BootLoaderModel model = Searched(Pic18());
    EXPECT_EQ(model.Receive(EepromFrame(0x05, 0xAB)), Ack());
    EXPECT_EQ(model.Receive(EepromFrame(0xFF, 0x00)), Ack());
    EXPECT_EQ(model.Eeprom()[0x05], 0xAB);
    EXPECT_EQ(model.Eeprom()[0xFF], 0x00);
    EXPECT_EQ(model.Eeprom()[0x00], 0xFF);
    EXPECT_EQ(model.Log().back().kind, FrameKind::Eeprom);
}

TEST(BoardLink, AnswerDoesNotDependOnHowTheBytesAreSplit) {
    Bytes run = {0xC5, 0xCC};
    for (std::uint32_t address = 0; address < 0x300; address += 0x80) {
        const Bytes frame =
            BlockFrame(address, Pattern(256, static_cast<std::uint8_t>(address)), 2);
        run.insert(run.end(), frame.begin(), frame.end());
    }
    const Bytes eeprom = EepromFrame(1, 2);
    run.insert(run.end(), eeprom.begin(), eeprom.end());

    BootLoaderModel whole(Pic24());
    const Bytes expected = whole.Receive(run);
    BootLoaderModel bytewise(Pic24());
    Bytes answer;
    for (std::uint8_t b : run) {
        const Bytes part = bytewise.Receive(&b, 1);
        answer.insert(answer.end(), part.begin(), part.end());
    }
    EXPECT_EQ(answer, expected);
    EXPECT_EQ(bytewise.ProgramMemory(), whole.ProgramMemory());
    EXPECT_EQ(std::count(expected.begin(), expected.end(), 'N'), 0);
}

TEST(BoardLink, DropsAnUnfinishedFrameAfterTheTimeOut) {
    BootLoaderModel model(Pic24());
    model.Receive({0xC2}, 0);
    const Bytes frame = BlockFrame(0, Pattern(256, 1), 2);
    model.Receive(frame.data(), 100, 10);
    // A new run's search byte, long after: a new session, not frame data.
    EXPECT_FALSE(model.Receive({0xC2}, 10 + 201).empty());
    EXPECT_EQ(model.Sessions(), 2);
    EXPECT_EQ(model.Log()[1].kind, FrameKind::Dropped);
    EXPECT_EQ(model.Log()[1].data.size(), 100u);
}

TEST(BoardLink, SurvivesArbitraryBytes) {
    std::mt19937 random(12345);
    for (const int chip : {66, 254, 253, 7}) {
        BoardConfig config = Pic24();
        config.chipIdentity = static_cast<std::uint8_t>(chip);
        BootLoaderModel model(config);
        std::uint64_t now = 0;
        for (int chunk = 0; chunk < 2000; ++chunk) {
            Bytes bytes(random() % 300);
            for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
            if (chunk % 50 == 0)
                bytes.insert(bytes.begin(), 0xC2);
            now += random() % 300;
            model.Receive(bytes, now);
        }
        EXPECT_EQ(model.ProgramMemory().size(),
                  std::size_t{model.Layout().memoryTop} * model.Layout().bytesPerAddress);
        EXPECT_EQ(model.Eeprom().size(), 256u);
    }
}

// Reads an Intel HEX text back into (byte address -> value); a text the
// reader refuses fails the test.
std::map<std::uint32_t, std::uint8_t> ParseHex(const std::string& hex) {
    std::vector<intel_hex::DataRecord> records;
    std::string error;
    EXPECT_TRUE(intel_hex::ReadIntelHex(hex, "dump", records, error)) << error;
    std::map<std::uint32_t, std::uint8_t> bytes;
    for (const intel_hex::DataRecord& record : records) {
        for (std::size_t i = 0; i < record.data.size(); ++i) {
            bytes[record.address + static_cast<std::uint32_t>(i)] = record.data[i];
        }
    }
    return bytes;
}

TEST(BoardDump, IntelHexHoldsEveryWrittenByteAndNothingElse) {
    BootLoaderModel model = Searched(Pic24());
    const Bytes low = Pattern(256, 5);
    const Bytes high = Pattern(256, 77);  // image offset 0x14F00, above 64 KiB
    model.Receive(BlockFrame(0x0000, low, 2));
    model.Receive(BlockFrame(0xA780, high, 2));
    model.Receive(EepromFrame(0x10, 0x5A));

    const auto bytes = ParseHex(model.IntelHex());
    for (const auto& [address, value] : bytes) {
        if (address >= kEepromHexAddress) {
            EXPECT_EQ(value, model.Eeprom().at(address - kEepromHexAddress));
        } else {
            EXPECT_EQ(value, model.ProgramMemory().at(address)) << address;
        }
    }
    for (std::uint32_t i = 0; i < 256; ++i) {
        EXPECT_EQ(bytes.count(i), 1u);
        EXPECT_EQ(bytes.count(0x14F00 + i), 1u);
    }
    EXPECT_EQ(bytes.count(kEepromHexAddress + 0x10), 1u);
    EXPECT_EQ(bytes.count(0x200), 0u);  // erased lines are left out
}

TEST(BoardDump, ErasedBoardDumpsOnlyTheEndRecord) {
    BootLoaderModel model(Pic18());
    EXPECT_EQ(model.IntelHex(), ":00000001FF\n");
}

}  // namespace
}  // namespace vorlan::board::test
