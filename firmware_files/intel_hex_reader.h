// Reading Intel HEX text as the format's rules read it.
//
//   :LLAAAATTDD...DDCC   LL data bytes, AAAA 16-bit offset, TT type, CC makes
//                        the sum of all bytes of the record 0 (mod 256)
//
// Types: 00 data, 01 end of file (no data), 02 extended segment address and
// 04 extended linear address (2 data bytes each), 03 and 05 start addresses
// (4 data bytes, checked and ignored). The address field of the other types
// carries nothing and is ignored.
//
// Where data goes: before any 02 or 04 record the base is 0, linear. After a
// 04 record with upper bits U, byte i of a data record lies at
// (U * 65536 + AAAA + i) mod 4 GiB; after an 02 record with segment S, at
// S * 16 + ((AAAA + i) mod 64 KiB): the offset wraps, not the segment. A
// record whose bytes wrap comes back as two pieces with the same line.
// Zero-length data records carry nothing and are left out.
//
// Accepted: upper- and lower-case digits, LF and CR LF line ends, spaces and
// tabs at the end of a line, blank lines. Everything else is refused with
// "name:line: what": a line that does not start with ':', odd or non-hex
// digits, a length byte that does not match the line, a wrong checksum, a
// typed record of the wrong length, an unknown type, a non-blank line after
// the end-of-file record, no end-of-file record.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vorlan::intel_hex {

// Bytes at consecutive byte addresses from one record; data is never empty
// and never wraps past 4 GiB.
struct DataRecord {
    std::uint32_t address = 0;
    std::vector<std::uint8_t> data;
    int line = 0;  // 1-based line of the text
};

// The value of one hex digit of either case; -1 for any other character.
int HexDigit(char c);

// Reads the whole text, replacing records. name prefixes every error. On
// failure returns false with error = "name:line: what" (line 0 for a text
// with no lines); records then holds what was read before the fault.
bool ReadIntelHex(std::string_view text, const std::string& name, std::vector<DataRecord>& records,
                  std::string& error);

// Reads the file at path (blocking) and then as above, with the path as name.
bool ReadIntelHexFile(const std::string& path, std::vector<DataRecord>& records,
                      std::string& error);

}  // namespace vorlan::intel_hex
