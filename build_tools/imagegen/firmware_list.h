// The firmware list (firmware/images.list): which Intel HEX file fills which
// slot of the image table, the build's image identity and the mask setting.
//
//   # comment (also after an entry)
//   identity board <code> preparation <byte>
//   mask on <K>          or   mask off
//   image <chip> <row> <file.hex>
//
// <chip> is one of 258 2580 2480 248 2320 24J10 24HJ64 33FJ128 (any letter
// case), <row> a board code of a wired slot (0 = the family default). Numbers
// are decimal or 0x hexadecimal. File names are relative to the list's folder.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace imagegen {

struct SlotKey {
    int family;
    int row;
};
// The 23 slots of the image table that the program carries arrays for.
const std::vector<SlotKey>& WiredSlots();

struct ImageEntry {
    int family = 0;
    int row = 0;
    std::string path;  // resolved against the list's folder
    int line = 0;
};

struct FirmwareList {
    std::uint8_t boardCode = 0;
    std::uint8_t preparation = 0;
    std::uint8_t maskFlag = 0;
    std::uint8_t maskConstant = 0;
    std::vector<ImageEntry> images;
};

// Reads the list's text; path names it in errors and is the folder that file
// names are relative to. false with "path:line: what" in error on any fault.
bool ParseFirmwareList(std::string_view text, const std::string& path, FirmwareList& list,
                       std::string& error);

// Reads the file at path (blocking), then as above.
bool ReadFirmwareList(const std::string& path, FirmwareList& list, std::string& error);

}  // namespace imagegen
