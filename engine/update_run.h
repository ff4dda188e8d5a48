// One update run as a start button starts it: search, then program.
#pragma once

#include "engine/views.h"

namespace vorlan {

enum class RunOutcome { NotStarted, Succeeded, Failed };

// Discards a stale stop request, runs SearchDevice and, when it found the
// boot loader, ProgramDevice; afterwards the active window is idle. A call
// while a run is active does nothing (runs never nest).
RunOutcome RunUpdate(ProgressBarView& progress, StatusBarView& status);
bool IsRunActive();

}  // namespace vorlan
