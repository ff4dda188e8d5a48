#include "tools/flash/counting_port.h"

#include <array>

namespace vorlan::flash {

int CountingPort::Write(const std::uint8_t* bytes, std::int32_t count) {
    const int written = port_.Write(bytes, count);
    if (written != 0 && count > 0) {
        sent_ += static_cast<std::uint64_t>(count);
    }
    return written;
}

std::int32_t CountingPort::Read(std::uint8_t* buffer, std::int32_t capacity) {
    const std::int32_t count = port_.Read(buffer, capacity);
    if (count > 0) {
        received_ += static_cast<std::uint64_t>(count);
    }
    return count;
}

void CountingPort::Drain() {
    // Same as the driver's drain, done here so the discarded bytes are counted.
    std::array<std::uint8_t, 3072> discard{};
    while (Read(discard.data(), static_cast<std::int32_t>(discard.size())) > 0) {
    }
}

}  // namespace vorlan::flash
