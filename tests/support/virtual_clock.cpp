#include "tests/support/virtual_clock.h"

#include <vector>

#include "engine/link_state.h"

namespace vorlan::test {

void VirtualClock::PauseFiveMs() {
    ++passes_;
    // Take the handlers out first: a handler may schedule further ones.
    std::vector<std::function<void()>> due;
    auto [first, last] = scheduled_.equal_range(passes_);
    for (auto it = first; it != last; ++it) due.push_back(std::move(it->second));
    scheduled_.erase(first, last);
    for (auto& handler : due) handler();
    if (hook_)
        hook_(passes_);
}

void VirtualClock::At(std::int64_t pass, std::function<void()> handler) {
    scheduled_.emplace(pass, std::move(handler));
}

void VirtualClock::PressStopAt(std::int64_t pass) {
    At(pass, [] { RequestStop(); });
}

}  // namespace vorlan::test
