// A run trace (run_trace.h) as text that a person reads and a script parses:
//
//   # vorlan trace 1
//   # program: vorlan-flash 0.9.0
//   # port: COM5 /dev/pts/3
//          0 event port COM5 opened: /dev/pts/3 115200 8N2
//        212 tx C5
//       2841 rx 56 09 FE 01 84 4B
//   # dropped 5120 entries (1337344 bytes) from 1.204100 s to 4.903311 s
//    6301200 event result Programmed: Program OK
//
// One entry a line: microseconds since the run began, then "tx" (to the
// board) or "rx" (from the board) and the bytes in hex, or "event" and its
// text. Lines starting with '#' are the header and the drop mark.
#pragma once

#include <string>

#include "engine/run_result.h"
#include "engine/run_trace.h"

namespace vorlan {

inline constexpr const char* kTraceFirstLine = "# vorlan trace 1";

std::string TraceText(const RunTrace& trace);

// The event that ends a run's trace: "result NoResponse: not Response".
std::string TraceResultEvent(const RunResult& result);
// The name of kind in that event: "NoResponse", "BoardRestarted"...
std::string RunEndName(RunEnd kind);

}  // namespace vorlan
