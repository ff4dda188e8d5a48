// A pause that takes no real time: each PauseFiveMs advances a virtual clock
// by one pass (5 ms) and runs whatever the test scheduled for that pass, the
// way window events run during a real pause.
#pragma once

#include <cstdint>
#include <functional>
#include <map>

#include "engine/pause.h"

namespace vorlan::test {

class VirtualClock : public Pause {
public:
    static constexpr std::int64_t kMsPerPass = 5;

    void PauseFiveMs() override;

    // Passes made so far (1 after the first pause).
    std::int64_t Passes() const { return passes_; }
    std::int64_t ElapsedMs() const { return passes_ * kMsPerPass; }

    // Runs handler during the given pass (1-based), once.
    void At(std::int64_t pass, std::function<void()> handler);
    // Raises the stop request during the given pass, as the stop button does.
    void PressStopAt(std::int64_t pass);
    // Runs hook during every pass with the pass number (e.g. a board model
    // delivering bytes over time).
    void SetPassHook(std::function<void(std::int64_t pass)> hook) { hook_ = std::move(hook); }

private:
    std::int64_t passes_ = 0;
    std::multimap<std::int64_t, std::function<void()>> scheduled_;
    std::function<void(std::int64_t)> hook_;
};

}  // namespace vorlan::test
