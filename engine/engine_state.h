// The engine's process-wide state, every unit of it, back to how it is at
// program start: link state and stop request, status operations (window and
// notifier references, panel indexes), the bound port and pause, the run
// plan and its statistics, the loaded image identity, the family parameters,
// and the image table with its current image (empty until BuildImageTable).
// The port selection lives in ports/ and has its own reset. For tests and for
// a program's end.
#pragma once

namespace vorlan {

void ResetEngineState();

}  // namespace vorlan
