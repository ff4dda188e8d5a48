// Boards that come and go on one port, for --loop: whether a board answers
// the search byte, waiting for the next one, waiting for a finished one to
// go, and opening a port again once its COM name leads to a device again.
// Each probe is one search byte and 100 ms for the boot loader's 'K', read
// straight from the port (the engine's search then finds the board at its
// first try). Blocks in the engine's pauses, so Ctrl-C is seen within 5 ms;
// UI thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "engine/pause.h"

namespace vorlan::flash {

inline constexpr int kProbeMs = 100;
// A finished board is gone after this long without an answer.
inline constexpr int kGoneAfterMs = 1000;

enum class Presence { kAnswered, kGone, kStopped };

// Probes until a board answers (kAnswered) or Ctrl-C (kStopped); no limit.
// While the port is gone it is opened again as soon as its COM name leads to
// a device; opened() is then called (for the --reset pulse). waiting(seconds)
// is called after every probe with the time waited so far.
Presence WaitForBoard(std::int16_t portIndex, std::uint8_t searchByte, Pause& pause,
                      const std::function<void()>& opened,
                      const std::function<void(double)>& waiting);

// Probes until no answer has come for kGoneAfterMs or the port has vanished
// (kGone), or Ctrl-C (kStopped). waiting as above.
Presence WaitUntilBoardGone(std::int16_t portIndex, std::uint8_t searchByte, Pause& pause,
                            const std::function<void(double)>& waiting);

// Asserts DTR (dtr) or RTS for 50 ms on the open port, then releases it.
// Empty when done; otherwise what the port said, for a note.
std::string PulseModemLine(std::int16_t portIndex, bool dtr, Pause& pause);

}  // namespace vorlan::flash
