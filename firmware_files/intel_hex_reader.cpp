#include "firmware_files/intel_hex_reader.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <iterator>

namespace vorlan::intel_hex {
namespace {

constexpr std::uint8_t kData = 0x00;
constexpr std::uint8_t kEnd = 0x01;
constexpr std::uint8_t kSegmentAddress = 0x02;
constexpr std::uint8_t kStartSegment = 0x03;
constexpr std::uint8_t kLinearAddress = 0x04;
constexpr std::uint8_t kStartLinear = 0x05;

// Length, two offset bytes, type, up to 255 data bytes, checksum.
constexpr std::size_t kLongestRecord = 4 + 255 + 1;

std::string_view WithoutTrailingSpace(std::string_view line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) {
        line.remove_suffix(1);
    }
    return line;
}

// The record's bytes after the colon; empty text when the line is well
// formed, else what is wrong with it.
std::string Decode(std::string_view line, std::array<std::uint8_t, kLongestRecord>& bytes,
                   std::size_t& count) {
    if (line.front() != ':')
        return "malformed record (no ':' at the start)";
    const std::string_view digits = line.substr(1);
    if (digits.size() % 2 != 0)
        return "malformed record (odd number of hex digits)";
    // Read no further than the longest record: a longer line is wrong anyway.
    count = std::min(digits.size() / 2, bytes.size());
    for (std::size_t i = 0; i < count; ++i) {
        const int high = HexDigit(digits[2 * i]);
        const int low = HexDigit(digits[2 * i + 1]);
        if (high < 0 || low < 0)
            return "malformed record (not a hex digit)";
        bytes[i] = static_cast<std::uint8_t>(high << 4 | low);
    }
    if (count < 5)
        return "malformed record (too short)";
    if (digits.size() / 2 != 5u + bytes[0]) {
        return "malformed record (length " + std::to_string(bytes[0]) + " does not match the " +
               std::to_string(digits.size() / 2 - 5) + " data bytes of the line)";
    }
    std::uint8_t sum = 0;
    for (std::size_t i = 0; i < count; ++i) sum = static_cast<std::uint8_t>(sum + bytes[i]);
    if (sum != 0)
        return "wrong checksum";
    return {};
}

// Where the next data record's bytes go.
struct Base {
    std::uint32_t address = 0;
    bool segment = false;  // offsets wrap within 64 KiB, else addresses at 4 GiB
};

void AddData(const Base& base, std::uint16_t offset, const std::uint8_t* data, std::size_t size,
             int line, std::vector<DataRecord>& records) {
    const std::uint32_t start = base.address + offset;
    const std::uint64_t wrapAt = base.segment ? std::uint64_t{base.address} + 0x10000 : 1ull << 32;
    const std::uint32_t wrapTo = base.segment ? base.address : 0;
    const auto before = static_cast<std::size_t>(std::min<std::uint64_t>(size, wrapAt - start));
    records.push_back(DataRecord{start, std::vector<std::uint8_t>(data, data + before), line});
    if (before < size) {
        records.push_back(
            DataRecord{wrapTo, std::vector<std::uint8_t>(data + before, data + size), line});
    }
}

}  // namespace

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool ReadIntelHex(std::string_view text, const std::string& name, std::vector<DataRecord>& records,
                  std::string& error) {
    records.clear();
    int lineNumber = 0;
    const auto fail = [&](const std::string& what) {
        error = name + ":" + std::to_string(lineNumber) + ": " + what;
        return false;
    };
    Base base;
    bool ended = false;
    std::array<std::uint8_t, kLongestRecord> bytes{};
    while (!text.empty()) {
        const std::size_t newline = text.find('\n');
        const std::string_view line = WithoutTrailingSpace(text.substr(0, newline));
        text.remove_prefix(newline == std::string_view::npos ? text.size() : newline + 1);
        ++lineNumber;
        if (line.empty())
            continue;
        if (ended)
            return fail("record after the end-of-file record");
        std::size_t count = 0;
        if (const std::string fault = Decode(line, bytes, count); !fault.empty())
            return fail(fault);
        const std::size_t length = bytes[0];
        const auto offset = static_cast<std::uint16_t>(bytes[1] << 8 | bytes[2]);
        const std::uint8_t type = bytes[3];
        const std::uint8_t* data = bytes.data() + 4;
        switch (type) {
            case kData:
                if (length > 0)
                    AddData(base, offset, data, length, lineNumber, records);
                break;
            case kEnd:
                if (length != 0)
                    return fail("malformed end-of-file record (carries data)");
                ended = true;
                break;
            case kSegmentAddress:
            case kLinearAddress:
                if (length != 2)
                    return fail("malformed address record (not 2 data bytes)");
                base.segment = type == kSegmentAddress;
                base.address = static_cast<std::uint32_t>(data[0] << 8 | data[1])
                               << (base.segment ? 4 : 16);
                break;
            case kStartSegment:
            case kStartLinear:
                if (length != 4)
                    return fail("malformed start address record (not 4 data bytes)");
                break;
            default:
                return fail("malformed record (unknown type " + std::to_string(type) + ")");
        }
    }
    if (!ended)
        return fail("no end-of-file record");
    return true;
}

bool ReadIntelHexFile(const std::string& path, std::vector<DataRecord>& records,
                      std::string& error) {
    std::ifstream in(path, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (!in.is_open() || in.bad()) {
        records.clear();
        error = path + ":0: cannot read the file";
        return false;
    }
    return ReadIntelHex(text, path, records, error);
}

}  // namespace vorlan::intel_hex
