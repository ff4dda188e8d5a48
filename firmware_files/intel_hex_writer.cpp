#include "firmware_files/intel_hex_writer.h"

#include <algorithm>
#include <array>

namespace vorlan::intel_hex {
namespace {

constexpr std::uint8_t kData = 0x00;
constexpr std::uint8_t kEnd = 0x01;
constexpr std::uint8_t kLinearAddress = 0x04;
constexpr std::uint64_t kPage = 0x10000;

void AppendByte(std::string& text, std::uint8_t value) {
    constexpr char kDigits[] = "0123456789ABCDEF";
    text += kDigits[value >> 4];
    text += kDigits[value & 0x0F];
}

}  // namespace

IntelHexWriter::IntelHexWriter(std::size_t recordBytes)
    : recordBytes_(std::clamp<std::size_t>(recordBytes, 1, 255)) {}

void IntelHexWriter::AddData(std::uint32_t address, std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        const std::uint32_t page = address >> 16;
        if (page != page_) {
            page_ = page;
            const std::array<std::uint8_t, 2> upper{static_cast<std::uint8_t>(page >> 8),
                                                    static_cast<std::uint8_t>(page & 0xFF)};
            AddRecord(kLinearAddress, 0, upper);
        }
        const std::uint64_t toPageEnd = kPage - (address & 0xFFFF);
        const auto count = static_cast<std::size_t>(
            std::min<std::uint64_t>({recordBytes_, bytes.size(), toPageEnd}));
        AddRecord(kData, static_cast<std::uint16_t>(address & 0xFFFF), bytes.first(count));
        address += static_cast<std::uint32_t>(count);  // wraps at 4 GiB on purpose
        bytes = bytes.subspan(count);
    }
}

std::string IntelHexWriter::Finish() {
    AddRecord(kEnd, 0, {});
    std::string text;
    text.swap(text_);
    page_ = 0;
    return text;
}

void IntelHexWriter::AddRecord(std::uint8_t type, std::uint16_t offset,
                               std::span<const std::uint8_t> bytes) {
    const std::array<std::uint8_t, 4> head{static_cast<std::uint8_t>(bytes.size()),
                                           static_cast<std::uint8_t>(offset >> 8),
                                           static_cast<std::uint8_t>(offset & 0xFF), type};
    unsigned sum = 0;
    text_ += ':';
    for (const std::uint8_t b : head) {
        AppendByte(text_, b);
        sum += b;
    }
    for (const std::uint8_t b : bytes) {
        AppendByte(text_, b);
        sum += b;
    }
    AppendByte(text_, static_cast<std::uint8_t>(-sum & 0xFF));
    text_ += '\n';
}

}  // namespace vorlan::intel_hex
