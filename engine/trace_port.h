// A LinkPort that passes every call to another one and records what went to
// and came from the board in the current run trace (run_trace.h). The ports
// layer puts it around every program's port, so each front end's runs are
// recorded without copies of this. Does not own the port it wraps.
#pragma once

#include "engine/link_port.h"

namespace vorlan {

class TracePort final : public LinkPort {
public:
    explicit TracePort(LinkPort& port) : port_(port) {}

    void ReopenSelected() override { port_.ReopenSelected(); }
    void ShowOnStatusBar(StatusBarView& bar) override { port_.ShowOnStatusBar(bar); }
    std::int16_t Check() override { return port_.Check(); }
    // The bytes are recorded before they go out; a failed write is noted.
    int Write(const std::uint8_t* bytes, std::int32_t count) override;
    std::int32_t Read(std::uint8_t* buffer, std::int32_t capacity) override;
    // The drain discards unread bytes; the trace notes how many.
    std::int64_t Drain() override;
    std::string Problem() override { return port_.Problem(); }

private:
    LinkPort& port_;
};

}  // namespace vorlan
