// --log FILE: one line per run appended to a file that any number of
// vorlan-flash processes may share (a production line's record of every
// board). Each line goes out in one write to a file opened for appending, so
// lines of concurrent runs never mix and earlier lines are never touched.
#pragma once

#include <string>

namespace vorlan::flash {

// Appends line and a line end to the file, creating it when missing. Empty
// when done; otherwise why not (the OS's word), for a message on stderr.
// Blocks for as long as the file system takes.
std::string AppendLogLine(const std::string& path, const std::string& line);

// Whether a line could be appended to the file, found before any board is
// written: empty when it can (or no file is named), else "the log FILE
// cannot be written: why". Creates the file when missing.
std::string LogProblem(const std::string& path);

// The time now in UTC, ISO 8601 with milliseconds: "2025-03-14T09:26:53.589Z".
std::string UtcTimestamp();

}  // namespace vorlan::flash
