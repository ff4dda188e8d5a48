// The desktop program's pause: waits up to 5 ms for the board on the current
// port, then handles the pending window events. A run thus stays close to the
// line's speed (the wait ends as soon as the board answers) while the windows
// keep working: stop, port menu and close run nested inside the pause.
// UI thread only.
#pragma once

#include "engine/pause.h"

namespace vorlan {

class QtPause final : public Pause {
public:
    // Blocks for at most about 5 ms, then QCoreApplication::processEvents().
    // Returns the microseconds it waited for the board.
    std::int64_t PauseFiveMs() override;
};

}  // namespace vorlan
