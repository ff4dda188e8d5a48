// Chip families: what a chip identity byte and a BIOS byte mean for the run.
// Addresses are program address units: bytes for PIC18, 2 per instruction
// (4 image bytes) for the 16-bit parts.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace vorlan {

inline constexpr std::uint8_t kChip258 = 66;
inline constexpr std::uint8_t kChip2580 = 67;
inline constexpr std::uint8_t kChip2480 = 68;
inline constexpr std::uint8_t kChip248 = 69;
inline constexpr std::uint8_t kChip2320 = 70;
inline constexpr std::uint8_t kChip24J10 = 199;
inline constexpr std::uint8_t kChip24HJ64 = 254;
inline constexpr std::uint8_t kChip33FJ128 = 253;

struct FamilyParameters {
    std::int32_t bytesPerAddress = 1;
    std::int32_t reservedTopJ = 0;
    std::int32_t reservedTop = 0;
    std::array<std::uint8_t, 8> jumpBlock{0x80, 0xEF, 0x3F, 0xF0, 0, 0, 0, 0};
    std::int32_t jumpBlockLength = 8;
};

// A chip's program memory as the run plans it.
struct ChipMemory {
    // PIC24/dsPIC33: blocks of 128 address units, 2 per instruction.
    bool sixteenBit = false;
    // Top of program memory in address units (bytes on PIC18). The run stops
    // below the boot loader: the family's reserve lower on PIC18, one block
    // below the boot-loader entry (which is this top) on the 16-bit parts.
    std::int32_t memoryTop = 0;
};

// One of the eight chip families.
struct ChipFamily {
    std::uint8_t chipIdentity = 0;
    int family = 0;             // column of the image table
    std::string_view partName;  // as firmware lists name it: "258", "24J10", "24HJ64"
    ChipMemory memory;
};

// The eight families, in the order of their image table columns.
std::vector<ChipFamily> ChipFamilies();
// The most image bytes a run may program into the family: program memory
// below the boot loader at its smallest reserve (a PIC18 boot loader below
// BIOS byte 5), in image bytes (4 per instruction on the 16-bit parts).
std::int32_t ProgramLimitBytes(const ChipFamily& family);

// Null for a chip identity that is not one of the eight families.
const ChipMemory* ChipMemoryOf(std::uint8_t chipIdentity);

// Column of the image table: 0..7; every unknown identity gives 0.
int ChipFamilyOf(std::uint8_t chipIdentity);
// Status name after "Found " ("258", "24j10", "24HJ64", ...); empty if unknown.
std::string_view ChipStatusName(std::uint8_t chipIdentity);
// Fills the process-wide parameters for an identified chip.
void SetFamilyParameters(std::uint8_t chipIdentity, std::uint8_t biosByte);
FamilyParameters& CurrentFamilyParameters();
void ResetFamilyParameters();  // tests

}  // namespace vorlan
