// A LinkPort that passes every call to another one, for wrappers that watch
// the traffic: they override what they watch and call Inner() for the rest.
// Does not own the port it wraps.
#pragma once

#include "engine/link_port.h"

namespace vorlan {

class ForwardingPort : public LinkPort {
public:
    explicit ForwardingPort(LinkPort& port) : port_(port) {}

    void ReopenSelected() override { port_.ReopenSelected(); }
    void ShowOnStatusBar(StatusBarView& bar) override { port_.ShowOnStatusBar(bar); }
    std::int16_t Check() override { return port_.Check(); }
    int Write(const std::uint8_t* bytes, std::int32_t count) override {
        return port_.Write(bytes, count);
    }
    std::int32_t Read(std::uint8_t* buffer, std::int32_t capacity) override {
        return port_.Read(buffer, capacity);
    }
    std::int64_t Drain() override { return port_.Drain(); }
    std::string Problem() override { return port_.Problem(); }

protected:
    LinkPort& Inner() { return port_; }

private:
    LinkPort& port_;
};

}  // namespace vorlan
