// Reads a run trace as engine/trace_text.h writes it, from either system
// (line ends LF or CRLF). A trace cut short (a file copied while written, a
// program ended mid-run) reads up to its last whole line. No I/O but the
// file read.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vorlan::flash {

struct TraceLine {
    enum class Kind : std::uint8_t { Sent, Received, Event, Dropped };
    Kind kind = Kind::Event;
    std::int64_t micros = 0;
    std::vector<std::uint8_t> bytes;  // Sent, Received
    std::string text;                 // Event, Dropped
};

struct TraceFile {
    std::vector<std::pair<std::string, std::string>> header;
    std::vector<TraceLine> lines;
    bool hasResult = false;    // ended with the run's result event
    bool lastLineCut = false;  // the last line had no line end (left out)
    int unreadable = 0;        // lines that are not trace lines (left out)

    std::string HeaderValue(const std::string& key) const;
};

// false when text is not a trace (its first line is not kTraceFirstLine).
bool ParseTrace(std::string_view text, TraceFile& trace);
// false with why in problem: the file cannot be read or is not a trace.
bool ReadTraceFile(const std::string& path, TraceFile& trace, std::string& problem);

}  // namespace vorlan::flash
