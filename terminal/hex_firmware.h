// --hex FILE: firmware read at run time, by the same reader, builder and
// rules as the build's images. It is read for the family of the build's
// default slot (or the one --chip names) and takes that slot's place in the
// image table, with the build's image identity unless --board-code and
// --preparation give another. Read and checked before any port is opened.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "terminal/flash_arguments.h"

namespace vorlan::flash {

struct HexFirmware {
    bool given = false;      // false: the built-in images as they are
    std::string path;        // as the user gave it
    int family = 0;          // column of the image table
    int row = 0;             // board code of the slot, 0 the family default
    std::string familyName;  // "24HJ64"
    std::vector<std::uint8_t> head;
    std::vector<std::uint8_t> program;
    std::vector<std::uint8_t> eeprom;
    std::vector<std::string> notes;  // "FILE:LINE: note: ..." for left-out data
    std::optional<std::uint8_t> boardCode;
    std::optional<std::uint8_t> preparation;
};

// Reads and checks the file of --hex (without one, only names the build's
// default slot). false with
// "FILE:LINE: what" (or what is wrong with --chip) in error. Blocks for the
// file's reading.
bool ReadHexFirmware(const FlashArguments& arguments, HexFirmware& firmware, std::string& error);

// Puts the firmware into its slot of the built image table, empties the
// family's other slots (so it goes into every board of the family), and sets
// the image identity; nothing without one. The firmware must outlive the runs
// (the runs write the boot-loader jump into its program bytes).
void InstallHexFirmware(HexFirmware& firmware);

// "built-in 24HJ64" (the build's default slot), or the file as given.
std::string FirmwareName(const HexFirmware& firmware);

}  // namespace vorlan::flash
