// Frames as the updater sends them, for the board model tests.
#pragma once

#include <cstdint>
#include <vector>

#include "emulator/boot_loader_model.h"

namespace vorlan::board::test {

inline Bytes Checksummed(Bytes body) {
    unsigned sum = 0;
    for (std::uint8_t b : body) sum += b;
    body.push_back(static_cast<std::uint8_t>(0x100 - (sum & 0xFF)));
    return body;
}

// A program block frame: 3 address bytes, a 1- or 2-byte count, data, checksum.
inline Bytes BlockFrame(std::uint32_t address, const Bytes& data, int countBytes) {
    Bytes body = {static_cast<std::uint8_t>(address >> 16), static_cast<std::uint8_t>(address >> 8),
                  static_cast<std::uint8_t>(address)};
    if (countBytes == 2)
        body.push_back(static_cast<std::uint8_t>(data.size() >> 8));
    body.push_back(static_cast<std::uint8_t>(data.size()));
    body.insert(body.end(), data.begin(), data.end());
    return Checksummed(body);
}

inline Bytes EepromFrame(std::uint8_t address, std::uint8_t value) {
    return Checksummed({0x40, address, value, 0x01, 0x00});
}

inline Bytes Pattern(std::size_t n, std::uint8_t seed) {
    Bytes data(n);
    for (std::size_t i = 0; i < n; ++i) data[i] = static_cast<std::uint8_t>(seed + i * 7);
    return data;
}

inline Bytes Ack() {
    return {'K'};
}
inline Bytes Refusal() {
    return {'N'};
}

}  // namespace vorlan::board::test
