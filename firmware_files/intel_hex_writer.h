// Writing Intel HEX text: data records of up to a fixed number of bytes that
// never cross a 64 KiB boundary, an extended linear address record (04)
// before data in a 64 KiB page other than the one last announced (page 0 at
// the start, as every reader assumes), and the end-of-file record. Upper-case
// digits, LF line ends.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace vorlan::intel_hex {

class IntelHexWriter {
public:
    // recordBytes: data bytes per record, 1 to 255.
    explicit IntelHexWriter(std::size_t recordBytes = 16);

    // Appends bytes at consecutive byte addresses from address; addresses
    // past 4 GiB wrap to 0, as a reader reads them.
    void AddData(std::uint32_t address, std::span<const std::uint8_t> bytes);

    // The text so far plus the end-of-file record; the writer starts over.
    std::string Finish();

private:
    void AddRecord(std::uint8_t type, std::uint16_t offset, std::span<const std::uint8_t> bytes);

    std::size_t recordBytes_;
    std::uint32_t page_ = 0;  // upper 16 address bits last announced
    std::string text_;
};

}  // namespace vorlan::intel_hex
