// The engine's one way to let time pass: a pause of about 5 ms after which
// the pending window events (a stop press among them) have been handled.
// The program waits on the port and pumps Qt's events; vorlan-flash waits on
// the port; tests advance a virtual clock. Every time limit of the engine is
// the time its pauses report, added up: a pause that ends early because the
// board sent bytes counts only the time it really waited, so bytes that do
// not answer a wait cannot shorten it.
#pragma once

#include <cstdint>

namespace vorlan {

// Microseconds of a whole pause.
inline constexpr std::int64_t kPauseUs = 5000;

class Pause {
public:
    virtual ~Pause() = default;
    // Blocks for at most about 5 ms, then handles pending events. May end
    // early once the board has sent bytes. Returns the microseconds it
    // waited for the board (kPauseUs for a whole pause); the time spent
    // handling events is not part of it.
    virtual std::int64_t PauseFiveMs() = 0;
};

// The pause the engine uses; never owned here. Unbound, a pause takes no time
// but counts as a whole one, so every wait still ends.
void BindPause(Pause* pause);
Pause& CurrentPause();

}  // namespace vorlan
