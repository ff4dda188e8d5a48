// A LinkPort that passes every call to another one and counts the bytes that
// went to and came from the board, for the rate on the progress bar and the
// --stats line. Does not own the port it wraps.
#pragma once

#include <cstdint>

#include "engine/forwarding_port.h"

namespace vorlan::flash {

class CountingPort final : public ForwardingPort {
public:
    using ForwardingPort::ForwardingPort;

    int Write(const std::uint8_t* bytes, std::int32_t count) override;
    std::int32_t Read(std::uint8_t* buffer, std::int32_t capacity) override;
    // The wrapped port's drain, counting what it discarded.
    std::int64_t Drain() override;

    std::uint64_t BytesSent() const { return sent_; }
    std::uint64_t BytesReceived() const { return received_; }

private:
    std::uint64_t sent_ = 0;
    std::uint64_t received_ = 0;
};

}  // namespace vorlan::flash
