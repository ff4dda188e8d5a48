#include "tools/imagegen/intel_hex.h"

#include <algorithm>
#include <cstdio>
#include <fstream>

namespace imagegen {
namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

std::string Where(const std::string& path, int line) {
    return path + ":" + std::to_string(line) + ": ";
}

// Decodes the hex pairs after the colon; false when a character is not a hex digit.
bool DecodeBytes(const std::string& text, std::vector<std::uint8_t>& bytes) {
    if (text.size() % 2 != 0)
        return false;
    bytes.clear();
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const int high = HexDigit(text[i]);
        const int low = HexDigit(text[i + 1]);
        if (high < 0 || low < 0)
            return false;
        bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
    }
    return true;
}

std::string Hex(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", value);
    return text;
}

}  // namespace

bool ReadIntelHex(const std::string& path, std::vector<HexRecord>& records, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + ":0: cannot open the file";
        return false;
    }
    records.clear();
    std::uint32_t base = 0;
    bool ended = false;
    int lineNumber = 0;
    std::string line;
    std::vector<std::uint8_t> bytes;
    while (std::getline(in, line)) {
        ++lineNumber;
        while (!line.empty() &&
               (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) {
            line.pop_back();
        }
        if (line.empty())
            continue;
        if (ended) {
            error = Where(path, lineNumber) + "record after the end-of-file record";
            return false;
        }
        if (line[0] != ':' || !DecodeBytes(line.substr(1), bytes) || bytes.size() < 5 ||
            bytes.size() != 5u + bytes[0]) {
            error = Where(path, lineNumber) + "malformed record";
            return false;
        }
        std::uint8_t sum = 0;
        for (std::uint8_t b : bytes) sum = static_cast<std::uint8_t>(sum + b);
        if (sum != 0) {
            error = Where(path, lineNumber) + "wrong checksum";
            return false;
        }
        const std::size_t count = bytes[0];
        const std::uint32_t offset = static_cast<std::uint32_t>(bytes[1] << 8 | bytes[2]);
        const std::uint8_t type = bytes[3];
        const auto value16 = [&bytes] {
            return static_cast<std::uint32_t>(bytes[4] << 8 | bytes[5]);
        };
        switch (type) {
            case 0x00:
                records.push_back(
                    HexRecord{base + offset,
                              std::vector<std::uint8_t>(
                                  bytes.begin() + 4, bytes.begin() + 4 + static_cast<long>(count)),
                              lineNumber});
                break;
            case 0x01:
                ended = true;
                break;
            case 0x02:
            case 0x04:
                if (count != 2) {
                    error = Where(path, lineNumber) + "malformed address record";
                    return false;
                }
                base = type == 0x02 ? value16() << 4 : value16() << 16;
                break;
            case 0x03:
            case 0x05:
                break;
            default:
                error = Where(path, lineNumber) + "malformed record (unknown type " +
                        std::to_string(type) + ")";
                return false;
        }
    }
    if (!ended) {
        error = Where(path, lineNumber) + "no end-of-file record";
        return false;
    }
    std::vector<const HexRecord*> sorted;
    sorted.reserve(records.size());
    for (const HexRecord& record : records) sorted.push_back(&record);
    std::stable_sort(sorted.begin(), sorted.end(), [](const HexRecord* a, const HexRecord* b) {
        return a->address < b->address;
    });
    for (std::size_t i = 1; i < sorted.size(); ++i) {
        const HexRecord& before = *sorted[i - 1];
        const HexRecord& after = *sorted[i];
        if (static_cast<std::uint64_t>(before.address) + before.data.size() > after.address) {
            const HexRecord& later = before.line > after.line ? before : after;
            const HexRecord& earlier = before.line > after.line ? after : before;
            error = Where(path, later.line) + "data at " + Hex(after.address) +
                    " overlaps data of line " + std::to_string(earlier.line);
            return false;
        }
    }
    return true;
}

}  // namespace imagegen
