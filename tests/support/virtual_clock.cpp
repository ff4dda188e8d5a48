#include "tests/support/virtual_clock.h"

#include <algorithm>
#include <vector>

#include "engine/link_state.h"

namespace vorlan::test {

std::int64_t VirtualClock::PauseFiveMs() {
    std::int64_t waitedUs = kMsPerPass * 1000;
    if (input_ != nullptr) {
        const std::int64_t next = input_->NextReadableUs();
        if (next >= 0 && next < nowUs_ + waitedUs)
            waitedUs = std::max<std::int64_t>(next - nowUs_, 1);
    }
    nowUs_ += waitedUs;
    ++passes_;
    // Take the handlers out first: a handler may schedule further ones.
    std::vector<std::function<void()>> due;
    auto [first, last] = scheduled_.equal_range(passes_);
    for (auto it = first; it != last; ++it) due.push_back(std::move(it->second));
    scheduled_.erase(first, last);
    for (auto& handler : due) handler();
    if (hook_)
        hook_(passes_);
    return waitedUs;
}

void VirtualClock::At(std::int64_t pass, std::function<void()> handler) {
    scheduled_.emplace(pass, std::move(handler));
}

void VirtualClock::PressStopAt(std::int64_t pass) {
    At(pass, [] { RequestStop(); });
}

}  // namespace vorlan::test
