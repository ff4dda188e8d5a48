#include "engine/pause.h"

namespace vorlan {

namespace {

// What the engine sees before a program binds its pause: no time passes.
class NoPause final : public Pause {
public:
    std::int64_t PauseFiveMs() override { return kPauseUs; }
};

NoPause gNoPause;
Pause* gPause = &gNoPause;

}  // namespace

void BindPause(Pause* pause) {
    gPause = pause != nullptr ? pause : &gNoPause;
}

Pause& CurrentPause() {
    return *gPause;
}

}  // namespace vorlan
