// The engine's one way to let time pass: a pause of about 5 ms after which
// the pending window events (a stop press among them) have been handled.
// The program sleeps and pumps Qt's events; vorlan-flash waits on the port;
// tests advance a virtual clock. Every time limit of the engine is a count of
// these pauses.
#pragma once

namespace vorlan {

class Pause {
public:
    virtual ~Pause() = default;
    // Blocks for at most about 5 ms, then handles pending events. May end
    // early once the board has sent bytes.
    virtual void PauseFiveMs() = 0;
};

// The pause the engine uses; never owned here. Unbound, a pause does nothing.
void BindPause(Pause* pause);
Pause& CurrentPause();

}  // namespace vorlan
