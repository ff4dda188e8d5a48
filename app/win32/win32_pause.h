// The desktop program's pause on Windows: waits at most 5 ms for the board
// on the current port, in slices of 1 ms between which the window messages
// are handled, and ends as soon as the board's bytes are there. STOP, the
// menus and closing the window thus run nested inside a run, within about a
// millisecond. Outside a run the message loop blocks in GetMessage, so an
// idle window uses no CPU. UI thread only.
#pragma once

#include "engine/pause.h"

namespace vorlan::win32 {

class Win32Pause final : public Pause {
public:
    // Returns the microseconds it waited for the board.
    std::int64_t PauseFiveMs() override;
};

}  // namespace vorlan::win32
