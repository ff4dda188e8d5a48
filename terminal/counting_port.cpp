#include "terminal/counting_port.h"

namespace vorlan::flash {

int CountingPort::Write(const std::uint8_t* bytes, std::int32_t count) {
    const int written = Inner().Write(bytes, count);
    if (written != 0 && count > 0) {
        sent_ += static_cast<std::uint64_t>(count);
    }
    return written;
}

std::int32_t CountingPort::Read(std::uint8_t* buffer, std::int32_t capacity) {
    const std::int32_t count = Inner().Read(buffer, capacity);
    if (count > 0) {
        received_ += static_cast<std::uint64_t>(count);
    }
    return count;
}

std::int64_t CountingPort::Drain() {
    const std::int64_t drained = Inner().Drain();
    if (drained > 0)
        received_ += static_cast<std::uint64_t>(drained);
    return drained;
}

}  // namespace vorlan::flash
