// Reading Intel HEX files as PIC tool chains write them: data records (00),
// end of file (01), extended segment (02) and linear (04) addresses; start
// address records (03, 05) are accepted and ignored.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace imagegen {

// One data record, at its full 32-bit byte address.
struct HexRecord {
    std::uint32_t address = 0;
    std::vector<std::uint8_t> data;
    int line = 0;  // 1-based line of the file
};

// Reads the whole file. On failure returns false and sets error to
// "file:line: what". Overlapping data records are a failure too.
bool ReadIntelHex(const std::string& path, std::vector<HexRecord>& records, std::string& error);

}  // namespace imagegen
