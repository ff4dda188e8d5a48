#include "engine/trace_port.h"

#include "engine/run_trace.h"

namespace vorlan {

int TracePort::Write(const std::uint8_t* bytes, std::int32_t count) {
    if (count > 0)
        TraceBytes(TraceKind::Sent, bytes, static_cast<std::size_t>(count));
    const int written = Inner().Write(bytes, count);
    if (written == 0 && count > 0)
        TraceEvent("write failed");
    return written;
}

std::int32_t TracePort::Read(std::uint8_t* buffer, std::int32_t capacity) {
    const std::int32_t count = Inner().Read(buffer, capacity);
    if (count > 0)
        TraceBytes(TraceKind::Received, buffer, static_cast<std::size_t>(count));
    return count;
}

std::int64_t TracePort::Drain() {
    const std::int64_t drained = Inner().Drain();
    if (drained > 0)
        TraceEvent("drained " + std::to_string(drained) + " bytes unread");
    return drained;
}

}  // namespace vorlan
