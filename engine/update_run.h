// One update run as a start button starts it: search, then program; and the
// identification-only run of vorlan-flash --identify.
#pragma once

#include "engine/run_result.h"
#include "engine/views.h"

namespace vorlan {

// Discards a stale stop request, runs SearchDevice and, when it found the
// boot loader, ProgramDevice; afterwards the active window is idle. A call
// while a run is active does nothing and returns NotStarted (runs never
// nest). The result's facts are those of this run alone.
RunResult RunUpdate(ProgressBarView& progress, StatusBarView& status);
// The same run without the programming run: search and identification, no
// 0xCC and no frame. Identified when the board was accepted for the image.
RunResult IdentifyOnly(ProgressBarView& progress, StatusBarView& status);
bool IsRunActive();

}  // namespace vorlan
