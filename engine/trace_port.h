// A LinkPort that passes every call to another one and records what went to
// and came from the board in the current run trace (run_trace.h). The ports
// layer puts it around every program's port, so each front end's runs are
// recorded without copies of this. Does not own the port it wraps.
#pragma once

#include "engine/forwarding_port.h"

namespace vorlan {

class TracePort final : public ForwardingPort {
public:
    using ForwardingPort::ForwardingPort;

    // The bytes are recorded before they go out; a failed write is noted.
    int Write(const std::uint8_t* bytes, std::int32_t count) override;
    std::int32_t Read(std::uint8_t* buffer, std::int32_t capacity) override;
    // The drain discards unread bytes; the trace notes how many.
    std::int64_t Drain() override;
};

}  // namespace vorlan
