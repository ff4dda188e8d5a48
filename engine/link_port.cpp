#include "engine/link_port.h"

namespace vorlan {

namespace {

// What the engine sees before a program binds its port: never usable.
class NoPort final : public LinkPort {
public:
    void ReopenSelected() override {}
    void ShowOnStatusBar(StatusBarView&) override {}
    std::int16_t Check() override { return -2; }
    int Write(const std::uint8_t*, std::int32_t) override { return 0; }
    std::int32_t Read(std::uint8_t*, std::int32_t) override { return 0; }
    std::int64_t Drain() override { return 0; }
};

NoPort gNoPort;
LinkPort* gPort = &gNoPort;

}  // namespace

void BindLinkPort(LinkPort* port) {
    gPort = port != nullptr ? port : &gNoPort;
}

LinkPort& CurrentLinkPort() {
    return *gPort;
}

}  // namespace vorlan
