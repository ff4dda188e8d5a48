// The desktop program's side of the run trace (engine/run_trace.h): a failed
// run's trace is kept in the state folder (ports/trace_store.h), and the
// note beside the result names the file; so does stderr, for whoever started
// the program from a terminal. A folder that cannot be written changes
// nothing about the run; its problem is told once. UI thread only.
#pragma once

#include <string>

#include "engine/run_result.h"

namespace vorlan {

// Keeps the trace of the run that ended with result when it failed; returns
// "trace: <file>" for the note, or empty.
std::string KeepDesktopRunTrace(const RunResult& result);

}  // namespace vorlan
