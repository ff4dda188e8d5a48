// vorlan-flash's pause and its Ctrl-C. The pause waits up to 5 ms for the
// board's bytes on the current port (or sleeps 5 ms when it is not open),
// then turns a pending Ctrl-C into the engine's stop request. The signal
// handler only sets a flag; the run sees it at its next wait, as a stop
// button is seen.
#pragma once

#include "engine/pause.h"

namespace vorlan::flash {

class TerminalPause final : public Pause {
public:
    std::int64_t PauseFiveMs() override;
};

// SIGINT raises the stop request at the next pause. The third Ctrl-C of the
// process ends it at once with status 130, for a run that no longer waits.
void InstallStopOnInterrupt();

}  // namespace vorlan::flash
