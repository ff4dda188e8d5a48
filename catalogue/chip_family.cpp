#include "catalogue/chip_family.h"

namespace vorlan {
namespace {

FamilyParameters gParameters;

// The engine's reserves at the top of PIC18 program memory: below BIOS byte
// 5, from 5 on, and the 24J10's.
constexpr std::int32_t kReserveBelow5 = 320;
constexpr std::int32_t kReserveFrom5 = 448;
constexpr std::int32_t kReserve24J10 = 1088;
// The 16-bit parts keep their last block of 128 address units.
constexpr std::int32_t kSixteenBitReserve = 128;

struct FamilyRow {
    ChipFamily info;
    std::string_view statusName;
    // Jump to the boot loader, in image byte order: from BIOS byte 5 on, and below 5.
    std::array<std::uint8_t, 8> jumpFrom5;
    std::array<std::uint8_t, 8> jumpBelow5;
    std::int32_t jumpLength;
};

constexpr std::array<FamilyRow, 8> kFamilies{{
    {{kChip258, 0, "258", {false, 0x8000}},
     "258",
     {0x40, 0xEF, 0x3F, 0xF0},
     {0x80, 0xEF, 0x3F, 0xF0},
     4},
    {{kChip2580, 1, "2580", {false, 0x8000}},
     "2580",
     {0x40, 0xEF, 0x3F, 0xF0},
     {0x80, 0xEF, 0x3F, 0xF0},
     4},
    {{kChip2480, 2, "2480", {false, 0x4000}},
     "2480",
     {0x40, 0xEF, 0x1F, 0xF0},
     {0x80, 0xEF, 0x1F, 0xF0},
     4},
    {{kChip248, 3, "248", {false, 0x4000}},
     "248",
     {0x40, 0xEF, 0x1F, 0xF0},
     {0x80, 0xEF, 0x1F, 0xF0},
     4},
    {{kChip2320, 4, "2320", {false, 0x2000}},
     "2320",
     {0x80, 0xEF, 0x0F, 0xF0},
     {0x80, 0xEF, 0x0F, 0xF0},
     4},
    {{kChip24J10, 5, "24J10", {false, 0x4000}},
     "24j10",
     {0x00, 0xEF, 0x1E, 0xF0},
     {0x00, 0xEF, 0x1E, 0xF0},
     4},
    {{kChip24HJ64, 6, "24HJ64", {true, 0xA800}},
     "24HJ64",
     {0x00, 0xA8, 0x04, 0, 0, 0, 0, 0},
     {0x00, 0xA8, 0x04, 0, 0, 0, 0, 0},
     8},
    {{kChip33FJ128, 7, "33FJ128", {true, 0x15400}},
     "33FJ128",
     {0x00, 0x54, 0x04, 0, 0x01, 0, 0, 0},
     {0x00, 0x54, 0x04, 0, 0x01, 0, 0, 0},
     8},
}};

const FamilyRow* FindFamily(std::uint8_t chipIdentity) {
    for (const FamilyRow& row : kFamilies) {
        if (row.info.chipIdentity == chipIdentity)
            return &row;
    }
    return nullptr;
}

}  // namespace

const ChipMemory* ChipMemoryOf(std::uint8_t chipIdentity) {
    const FamilyRow* row = FindFamily(chipIdentity);
    return row != nullptr ? &row->info.memory : nullptr;
}

int ChipFamilyOf(std::uint8_t chipIdentity) {
    const FamilyRow* row = FindFamily(chipIdentity);
    return row != nullptr ? row->info.family : 0;
}

std::string_view ChipStatusName(std::uint8_t chipIdentity) {
    const FamilyRow* row = FindFamily(chipIdentity);
    return row != nullptr ? row->statusName : std::string_view{};
}

void SetFamilyParameters(std::uint8_t chipIdentity, std::uint8_t biosByte) {
    const bool below5 = biosByte < 5;
    gParameters.bytesPerAddress = 1;
    gParameters.reservedTopJ = kReserve24J10;
    gParameters.reservedTop = below5 ? kReserveBelow5 : kReserveFrom5;

    const FamilyRow* row = FindFamily(chipIdentity);
    if (row == nullptr)
        return;  // the engine refuses the chip; keep the old jump
    const auto& jump = below5 ? row->jumpBelow5 : row->jumpFrom5;
    // A PIC18 jump replaces only the first four bytes; the rest keep what a
    // 16-bit part left there, unused while the length is 4.
    for (std::int32_t i = 0; i < row->jumpLength; ++i) gParameters.jumpBlock[i] = jump[i];
    gParameters.jumpBlockLength = row->jumpLength;
    if (row->jumpLength == 8)
        gParameters.bytesPerAddress = 2;
}

std::vector<ChipFamily> ChipFamilies() {
    std::vector<ChipFamily> families;
    for (const FamilyRow& row : kFamilies) families.push_back(row.info);
    return families;
}

std::int32_t ProgramLimitBytes(const ChipFamily& family) {
    if (family.memory.sixteenBit)
        return 2 * (family.memory.memoryTop - kSixteenBitReserve);
    const std::int32_t reserve = family.chipIdentity == kChip24J10 ? kReserve24J10 : kReserveBelow5;
    return family.memory.memoryTop - reserve;
}

FamilyParameters& CurrentFamilyParameters() {
    return gParameters;
}

void ResetFamilyParameters() {
    gParameters = FamilyParameters{};
}

}  // namespace vorlan
