// A LinkPort that passes every call to another one and counts the bytes that
// went to and came from the board, for the rate on the progress bar and the
// --stats line. Does not own the port it wraps.
#pragma once

#include <cstdint>

#include "engine/link_port.h"

namespace vorlan::flash {

class CountingPort final : public LinkPort {
public:
    explicit CountingPort(LinkPort& port) : port_(port) {}

    void ReopenSelected() override { port_.ReopenSelected(); }
    void ShowOnStatusBar(StatusBarView& bar) override { port_.ShowOnStatusBar(bar); }
    std::int16_t Check() override { return port_.Check(); }
    int Write(const std::uint8_t* bytes, std::int32_t count) override;
    std::int32_t Read(std::uint8_t* buffer, std::int32_t capacity) override;
    // The wrapped port's drain, counting what it discarded.
    std::int64_t Drain() override;
    std::string Problem() override { return port_.Problem(); }

    std::uint64_t BytesSent() const { return sent_; }
    std::uint64_t BytesReceived() const { return received_; }

private:
    LinkPort& port_;
    std::uint64_t sent_ = 0;
    std::uint64_t received_ = 0;
};

}  // namespace vorlan::flash
