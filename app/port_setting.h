// The user's port choice between runs: the setting "com" holds the current
// port index in signed decimal ("0" is COM1, "-1" no port). UI thread only.
#pragma once

#include <cstdint>
#include <string>

namespace vorlan {

// Start of a main window: the current port index from "com" (0 when none is
// stored) and the opened port index one below it, so the first run opens the
// port. Throws what ReadSetting throws (a "com" that is not text).
void RestorePortFromSetting();

// Close of either main window: asks a run still in progress to stop (it ends
// at its next wait; its windows stay alive until it has returned), closes the
// port when it is the one opened last, then stores the current port index.
// Raises nothing.
void CloseMainWindow();

}  // namespace vorlan
