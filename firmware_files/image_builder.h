// Turns the data records of one Intel HEX file into the three arrays of an
// image slot: for the image generator at build time and for vorlan-flash's
// --hex at run time, so a file means the same to both.
//
// PIC18: hex byte address = image offset; 0xF00000 and up is data EEPROM
// (offset 0 to 255); configuration (0x300000..0x3FFFFF) and ID locations
// (0x200000..0x200007) are left out. Gaps are erased flash, 0xFF; the length
// is rounded up to a whole instruction word (2 bytes).
// PIC24/dsPIC33: hex byte address = image offset, 4 bytes per instruction;
// 0x1000000 and up (program address 0x800000: configuration and device ID)
// is left out. Gaps are erased instructions FF FF FF 00; the length is rounded
// up to a whole instruction (4 bytes).
// The head is the image's own first instruction as the file gives it: 4 bytes
// for PIC18 (GOTO), 8 for 16-bit parts (two-word GOTO).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "firmware_files/intel_hex_reader.h"

namespace imagegen {

// A chip family as the images are built for it (the catalogue's families).
struct Family {
    std::string_view name;       // as firmware lists name it: "258", "24J10", "24HJ64"
    int index;                   // column of the image table
    bool sixteenBit;             // PIC24/dsPIC33: 4 image bytes per instruction
    std::uint32_t programLimit;  // highest image byte offset + 1 the engine may program
};

// The eight families; for a PIC18 family the limit is the largest of its boot
// loader versions (the smaller 256-byte boot loader below BIOS byte 5).
const std::vector<Family>& Families();
// The family of that name in any letter case; null when there is none.
const Family* FamilyNamed(std::string_view name);

inline constexpr std::uint32_t kEepromLimit = 256;  // the engine's EEPROM address is 8 bits

struct SlotImage {
    std::vector<std::uint8_t> head;
    std::vector<std::uint8_t> program;
    std::vector<std::uint8_t> eeprom;
    std::vector<std::string> notes;  // "file:line: note: ..." for left-out data
};

using vorlan::intel_hex::DataRecord;

// false with "file:line: what" in error when records overlap (the later
// line is named) or the data does not fit the family.
bool BuildSlotImage(const Family& family, const std::string& path,
                    const std::vector<DataRecord>& records, SlotImage& image, std::string& error);

}  // namespace imagegen
