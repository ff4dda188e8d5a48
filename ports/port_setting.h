// The user's port choice between runs: the setting "com" holds the current
// port index in signed decimal ("0" is COM1, "-1" no port). UI thread only.
#pragma once

#include <cstdint>

namespace vorlan {

// Makes index the current port index and the opened index one below it, so
// the next run opens the port.
void SelectPortForNextRun(std::int16_t index);

// Start of a main window: SelectPortForNextRun with the index in "com" (0 when
// none is stored). Throws what ReadSetting throws (a "com" that is not text).
void RestorePortFromSetting();

// Close of either main window: asks a run still in progress to stop (it ends
// at its next wait; its windows stay alive until it has returned), closes the
// port when it is the one opened last, then stores the current port index.
// Raises nothing.
void StorePortOnClose();

}  // namespace vorlan
