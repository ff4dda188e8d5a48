// Serial numbers for boards: the counter's rules with a fake "does the
// process still run", the store on a real file (lock and durable replace of
// this system), and where the bytes lie in a PIC18 EEPROM and in PIC24
// program memory.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "platform/process_identity.h"
#include "terminal/serial_counter.h"
#include "terminal/serial_placement.h"
#include "terminal/serial_store.h"

namespace vorlan::flash {
namespace {

using Bytes = std::vector<std::uint8_t>;

// One step of a station's life: a process reserves, commits, gives back,
// crashes (its reservations stay with a dead process) or a new one starts
// (recovering them). expect: the number reserved (0: none left), or the
// numbers recovered, or what SerialsLeft says after the step.
struct Step {
    enum class Kind { kReserve, kCommit, kGiveBack, kCrash, kRecover, kLeft } kind;
    std::string process;
    std::uint64_t number;  // commit, give back; expectation for the others
    std::vector<std::uint64_t> recovered = {};
};

TEST(SerialCounterRules, HandOutKeepGiveBackAndRecover) {
    using K = Step::Kind;
    const std::uint64_t top = ~std::uint64_t{0};
    const struct Case {
        const char* name;
        std::uint64_t first;
        std::uint64_t last;
        std::vector<Step> steps;
    } cases[] = {
        {"in order, committed on success",
         1,
         10,
         {{K::kReserve, "a", 1}, {K::kCommit, "a", 1}, {K::kReserve, "a", 2}, {K::kLeft, "", 8}}},
        {"a failed run's number is the next one",
         1,
         10,
         {{K::kReserve, "a", 1},
          {K::kReserve, "b", 2},
          {K::kGiveBack, "a", 1},
          {K::kCommit, "b", 2},
          {K::kReserve, "b", 1},
          {K::kReserve, "a", 3}}},
        {"the lowest number given back comes first",
         5,
         9,
         {{K::kReserve, "a", 5},
          {K::kReserve, "a", 6},
          {K::kGiveBack, "a", 6},
          {K::kGiveBack, "a", 5},
          {K::kReserve, "b", 5},
          {K::kReserve, "b", 6}}},
        {"a crashed process's numbers come back at the next start",
         1,
         10,
         {{K::kReserve, "a", 1},
          {K::kReserve, "b", 2},
          {K::kReserve, "a", 3},
          {K::kCrash, "a", 0},
          {K::kRecover, "", 0, {1, 3}},
          {K::kReserve, "b", 1},
          {K::kCommit, "b", 2},
          {K::kRecover, "", 0, {}}}},
        {"a used-up range hands out nothing",
         1,
         2,
         {{K::kReserve, "a", 1},
          {K::kReserve, "a", 2},
          {K::kReserve, "a", 0},
          {K::kLeft, "", 0},
          {K::kGiveBack, "a", 2},
          {K::kLeft, "", 1},
          {K::kReserve, "a", 2}}},
        {"64-bit numbers up to the last",
         top - 1,
         top,
         {{K::kReserve, "a", top - 1}, {K::kReserve, "a", top}, {K::kReserve, "a", 0}}},
        {"the whole 64-bit range",
         0,
         top,
         {{K::kLeft, "", top}, {K::kReserve, "a", 0}, {K::kLeft, "", top}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SerialCounter counter = NewSerialCounter(c.first, c.last);
        std::set<std::string> dead;
        const ProcessRuns runs = [&dead](const std::string& p) { return dead.count(p) == 0; };
        for (std::size_t i = 0; i < c.steps.size(); ++i) {
            const Step& step = c.steps[i];
            SCOPED_TRACE("step " + std::to_string(i));
            switch (step.kind) {
                case K::kReserve: {
                    const std::optional<std::uint64_t> got = ReserveSerial(counter, step.process);
                    // The whole range's first number is 0 too: tell it by the case.
                    if (step.number == 0 && c.first != 0) {
                        EXPECT_FALSE(got.has_value());
                    } else {
                        EXPECT_EQ(got, std::optional<std::uint64_t>(step.number));
                    }
                    break;
                }
                case K::kCommit:
                    EXPECT_TRUE(CommitSerial(counter, step.number));
                    EXPECT_FALSE(GiveBackSerial(counter, step.number)) << "kept for good";
                    break;
                case K::kGiveBack:
                    EXPECT_TRUE(GiveBackSerial(counter, step.number));
                    break;
                case K::kCrash:
                    dead.insert(step.process);
                    break;
                case K::kRecover: {
                    std::vector<std::uint64_t> numbers;
                    for (const SerialReservation& r : RecoverEnded(counter, runs))
                        numbers.push_back(r.number);
                    EXPECT_EQ(numbers, step.recovered);
                    break;
                }
                case K::kLeft:
                    EXPECT_EQ(SerialsLeft(counter), step.number);
                    break;
            }
            // Whatever happened survives the file's text.
            SerialCounter read;
            std::string error;
            ASSERT_TRUE(ParseSerialCounter(SerialCounterText(counter), read, error)) << error;
            EXPECT_EQ(SerialCounterText(read), SerialCounterText(counter));
        }
    }
}

TEST(SerialCounterRules, ADamagedFileIsRefusedNotGuessed) {
    for (const char* text : {"", "vorlan-serial 1\nrange 5 1\nnext 5\n",
                             "vorlan-serial 1\nrange 1 9\nnext 4\nreserved 7 p\n",
                             "vorlan-serial 1\nrange 1 9\nnext 4\nreturned 2\nreturned x\n",
                             "vorlan-serial 1\nrange 1 9\n"}) {
        SerialCounter counter;
        std::string error;
        EXPECT_FALSE(ParseSerialCounter(text, counter, error)) << text;
    }
}

// The store on this system's files: a range made once, kept, and refused
// when another is named; a list handed out in order; and a reservation of a
// process that no longer runs recovered and reported.
TEST(SerialStoreFile, KeepsItsRangeAndRecoversWhatAnEndedProcessHeld) {
    const auto folder =
        std::filesystem::temp_directory_path() / ("vorlan-serial-" + CurrentProcessName());
    std::filesystem::create_directories(folder);
    const std::string file = (folder / "counter").string();
    SerialSource source{file, 100, 102, ""};
    std::string error;
    {
        SerialStore store;
        ASSERT_TRUE(store.Open(source, "1.1", error)) << error;
        std::optional<std::uint64_t> number;
        ASSERT_TRUE(store.Reserve(number, error)) << error;
        EXPECT_EQ(number, std::optional<std::uint64_t>(100));
        // Process "1.1" never ran: its number is free at the next start.
    }
    SerialStore store;
    ASSERT_TRUE(store.Open({file, std::nullopt, std::nullopt, ""}, CurrentProcessName(), error))
        << error;
    EXPECT_EQ(store.TakeNotes().size(), 1u);
    std::optional<std::uint64_t> number;
    ASSERT_TRUE(store.Reserve(number, error));
    EXPECT_EQ(number, std::optional<std::uint64_t>(100));
    ASSERT_TRUE(store.Commit(100, error));
    std::uint64_t left = 0;
    ASSERT_TRUE(store.Left(left, error));
    EXPECT_EQ(left, 2u);
    EXPECT_FALSE(SerialStore().Open({file, 1, 5, ""}, "x", error));
    EXPECT_NE(error.find("100-102"), std::string::npos) << error;

    const std::string list = (folder / "macs").string();
    std::ofstream(list) << "# MAC addresses\n00:1A:2B:00:00:01\n\n00:1A:2B:00:00:02\n";
    SerialStore macs;
    ASSERT_TRUE(macs.Open({"", std::nullopt, std::nullopt, list}, CurrentProcessName(), error))
        << error;
    ASSERT_TRUE(macs.Reserve(number, error) && number);
    EXPECT_EQ(macs.ValueText(*number), "00:1A:2B:00:00:01");
    std::filesystem::remove_all(folder);
}

TEST(SerialPlacement, BytesLieAsTheFormatAndTheFamilySay) {
    const auto family = [](std::uint8_t chip) {
        for (const ChipFamily& f : ChipFamilies()) {
            if (f.chipIdentity == chip)
                return f;
        }
        return ChipFamily{};
    };
    const struct Case {
        const char* place;
        const char* format;
        const char* value;
        std::uint8_t chip;
        std::size_t at;  // first image byte changed
        Bytes expected;  // image bytes from there
        bool eeprom;
    } cases[] = {
        // PIC18 EEPROM, byte addressed.
        {"eeprom:0x10", "be4", "0x01020304", kChip258, 0x10, {1, 2, 3, 4}, true},
        {"eeprom:0", "ascii:5", "42", kChip258, 0, {'0', '0', '0', '4', '2'}, true},
        {"eeprom:0xFE", "bcd:2", "1234", kChip2480, 0xFE, {0x12, 0x34}, true},
        // PIC24: three bytes an instruction, the fourth (phantom) byte 0.
        {"program:0x100",
         "le4",
         "0x04030201",
         kChip24HJ64,
         0x200,
         {1, 2, 3, 0, 4, 0xFF, 0xFF, 0},
         false},
        {"program:0x100",
         "bytes",
         "0A-0B-0C-0D-0E-0F",
         kChip33FJ128,
         0x200,
         {0x0A, 0x0B, 0x0C, 0, 0x0D, 0x0E, 0x0F, 0},
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.place) + " " + c.format);
        SerialPlace place;
        SerialFormat format;
        std::string error;
        ASSERT_TRUE(ParseSerialAt(c.place, place, error) &&
                    ParseSerialFormat(c.format, format, error));
        Bytes bytes;
        ASSERT_TRUE(SerialBytes(format, c.value, bytes, error)) << error;
        ASSERT_TRUE(CheckSerialPlace(family(c.chip), place, bytes.size(), error)) << error;
        Bytes program(0x100, 0xAA);  // an image that ends before the place
        Bytes eeprom;
        PlaceSerialBytes(place, family(c.chip).memory.sixteenBit, bytes, program, eeprom);
        const Bytes& memory = c.eeprom ? eeprom : program;
        ASSERT_EQ(memory.size(), c.at + c.expected.size());
        EXPECT_EQ(Bytes(memory.begin() + static_cast<std::ptrdiff_t>(c.at), memory.end()),
                  c.expected);
        if (!c.eeprom) {
            EXPECT_EQ(program[0xFF], 0xAA) << "the image's own bytes stay";
        }
    }
    // Refused before any port opens.
    const struct Refused {
        const char* place;
        std::size_t count;
        std::uint8_t chip;
    } refused[] = {{"eeprom:0xFD", 4, kChip258},      {"eeprom:0", 2, kChip24HJ64},
                   {"program:2", 2, kChip258},        {"program:0x7E3E", 4, kChip258},
                   {"program:0x101", 3, kChip24HJ64}, {"program:0xA77E", 6, kChip24HJ64}};
    for (const Refused& r : refused) {
        SerialPlace place;
        std::string error;
        ASSERT_TRUE(ParseSerialAt(r.place, place, error));
        EXPECT_FALSE(CheckSerialPlace(family(r.chip), place, r.count, error)) << r.place;
    }
    Bytes bytes;
    std::string error;
    EXPECT_FALSE(SerialBytes({SerialFormat::Kind::kLittle, 2}, "65536", bytes, error));
    EXPECT_FALSE(SerialBytes({SerialFormat::Kind::kAscii, 3}, "1000", bytes, error));
}

}  // namespace
}  // namespace vorlan::flash
