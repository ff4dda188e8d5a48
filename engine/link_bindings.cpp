// The port and the pause the engine is bound to, with harmless stand-ins
// for an engine that nothing has been bound to yet.
#include "engine/link_port.h"
#include "engine/pause.h"

namespace vorlan {

namespace {

class NoPort final : public LinkPort {
public:
    void ReopenSelectedPort() override {}
    void ShowPortOnStatusBar(StatusBarView&) override {}
    std::int16_t CheckPort() override { return -2; }
    int WritePort(const std::uint8_t*, std::int32_t) override { return 0; }
    std::int32_t ReadPort(std::uint8_t*, std::int32_t) override { return 0; }
    void DrainInput() override {}
};

class NoPause final : public Pause {
public:
    void PauseFiveMs() override {}
};

NoPort gNoPort;
NoPause gNoPause;
LinkPort* gPort = &gNoPort;
Pause* gPause = &gNoPause;

}  // namespace

void BindLinkPort(LinkPort* port) { gPort = port != nullptr ? port : &gNoPort; }
LinkPort& CurrentLinkPort() { return *gPort; }

void BindPause(Pause* pause) { gPause = pause != nullptr ? pause : &gNoPause; }
Pause& CurrentPause() { return *gPause; }

}  // namespace vorlan
