#include "tests/terminal/intel_hex.h"

#include <sstream>

namespace vorlan::terminal_test {

namespace {

int HexByte(const std::string& line, std::size_t at) {
    if (at + 2 > line.size()) {
        return -1;
    }
    int value = 0;
    for (std::size_t i = at; i < at + 2; ++i) {
        const char c = line[i];
        value <<= 4;
        if (c >= '0' && c <= '9') {
            value |= c - '0';
        } else if (c >= 'A' && c <= 'F') {
            value |= c - 'A' + 10;
        } else if (c >= 'a' && c <= 'f') {
            value |= c - 'a' + 10;
        } else {
            return -1;
        }
    }
    return value;
}

}  // namespace

Bytes ProgramMemoryFromHex(const std::string& text, std::size_t size) {
    Bytes memory(size, 0xFF);
    std::uint32_t upper = 0;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.size() < 11 || line[0] != ':') {
            continue;
        }
        const int count = HexByte(line, 1);
        const int high = HexByte(line, 3);
        const int low = HexByte(line, 5);
        const int type = HexByte(line, 7);
        if (count < 0 || high < 0 || low < 0 || type < 0 ||
            line.size() < 11 + 2 * static_cast<std::size_t>(count)) {
            continue;
        }
        Bytes data;
        for (int i = 0; i < count; ++i) {
            data.push_back(
                static_cast<std::uint8_t>(HexByte(line, 9 + 2 * static_cast<std::size_t>(i))));
        }
        if (type == 4 && count == 2) {
            upper = static_cast<std::uint32_t>(data[0] << 8 | data[1]) << 16;
        } else if (type == 0) {
            const std::uint32_t base = upper | static_cast<std::uint32_t>(high << 8 | low);
            for (int i = 0; i < count; ++i) {
                const std::uint64_t address = std::uint64_t{base} + static_cast<std::uint64_t>(i);
                if (address < size) {
                    memory[address] = data[static_cast<std::size_t>(i)];
                }
            }
        }
    }
    return memory;
}

}  // namespace vorlan::terminal_test
