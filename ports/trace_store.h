// Where run traces go as files: the file a user names (--trace), and the
// state folder (platform/trace_folder.h) that keeps the newest traces of
// failed runs by itself. A trace that cannot be written never changes a run's
// result; it is told once per process. Blocks for the write. UI thread only.
#pragma once

#include <string>

namespace vorlan {

inline constexpr int kTracesKept = 50;

struct TraceSave {
    std::string path;     // the file written; empty when none was
    std::string problem;  // why not, for a person; empty when written
    bool tell = false;    // the first problem of this process: tell the user
};

// Writes text to path, creating its folder.
TraceSave WriteTraceFile(const std::string& path, const std::string& text);

// Saves a failed run's trace into folder (the state folder when empty) as
// "vorlan-<UTC time>-<port>[-<board>].trace", then deletes the oldest traces
// there beyond the newest `keep`. boardNumber 0: not in a loop.
TraceSave SaveRunTrace(const std::string& text, const std::string& portName, int boardNumber,
                       std::string folder = "", int keep = kTracesKept);

// The file of one port and board when a user named one file for several
// runs: "run.trace" -> "run-COM5-3.trace" (boardNumber 0: "run-COM5.trace").
std::string TraceFileOf(const std::string& file, const std::string& portName, int boardNumber);

}  // namespace vorlan
