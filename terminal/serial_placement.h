// Where a board's serial number goes and how its bytes lie (--serial-at,
// --serial-format), checked against the chip family before any port opens,
// and put into that board's copy of the image.
//
// program:ADDR is in the family's program address units, as the program
// shows addresses: bytes on PIC18; on the 16-bit parts 2 units per
// instruction, ADDR even, and the bytes fill each instruction's three bytes
// (low byte first) and leave its fourth (phantom) byte 0, as the image
// builder lays out a HEX file. eeprom:ADDR is a byte of the PIC18 data EEPROM
// (0 to 255). Where the serial lies past the end of the image, the image is
// extended with erased bytes (0xFF; FF FF FF 00 per 16-bit instruction) up to
// it, and those are written too.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "catalogue/chip_family.h"

namespace vorlan::flash {

struct SerialPlace {
    bool given = false;
    bool eeprom = false;
    std::uint32_t address = 0;  // program address units, or EEPROM byte
};

struct SerialFormat {
    // le/be: binary of width bytes; ascii: decimal digits, zero-filled to
    // width; bcd: width bytes of packed BCD, most significant first; bytes:
    // the value's hex bytes in the order written ("00:1A:2B:3C:4D:5E").
    enum class Kind { kLittle, kBig, kAscii, kBcd, kBytes } kind = Kind::kLittle;
    int width = 4;
};

// "eeprom:ADDR" or "program:ADDR" (ADDR decimal or 0x hexadecimal).
bool ParseSerialAt(const std::string& text, SerialPlace& place, std::string& error);
// le2 le4 le8 be2 be4 be8 ascii:N (1 to 20) bcd:N (1 to 10) bytes.
bool ParseSerialFormat(const std::string& text, SerialFormat& format, std::string& error);

// The bytes of a value as the format lays them out; value is a decimal or 0x
// number, or for kBytes hex digit pairs with optional ':', '-' or blanks
// between them. false with why it does not fit in error.
bool SerialBytes(const SerialFormat& format, const std::string& value,
                 std::vector<std::uint8_t>& bytes, std::string& error);

// false with a message when count bytes at place are outside what a run for
// this family writes: the jump block at address 0, at or above the program
// limit (the head block and the boot loader, at the lowest limit of the
// family's boot loaders), past the EEPROM's 256 bytes, an odd address on a
// 16-bit part, or EEPROM on a 16-bit part.
bool CheckSerialPlace(const ChipFamily& family, const SerialPlace& place, std::size_t count,
                      std::string& error);

// Writes bytes at place into the image's program or EEPROM bytes, extending
// them with erased bytes when they end before.
void PlaceSerialBytes(const SerialPlace& place, bool sixteenBit,
                      const std::vector<std::uint8_t>& bytes, std::vector<std::uint8_t>& program,
                      std::vector<std::uint8_t>& eeprom);

// The image bytes [begin, end) of program memory that the serial takes.
void SerialProgramSpan(const SerialPlace& place, bool sixteenBit, std::size_t count,
                       std::size_t& begin, std::size_t& end);

}  // namespace vorlan::flash
