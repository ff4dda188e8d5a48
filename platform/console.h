// The terminal a command-line program runs in: whether output goes to one,
// and its interrupt key (Ctrl-C).
#pragma once

#include <cstdio>

namespace vorlan {

// true when the stream writes to a terminal (not a pipe or a file).
bool IsTerminal(std::FILE* stream);

// From now on each interrupt (Ctrl-C) only counts a press for
// TakeConsoleInterrupt; the handler does nothing else, so a run sees the press
// at its next wait. The pressesToEndAtOnce-th press of the process writes
// endMessage to standard error and ends the process at once with status 130,
// for a run that no longer waits. endMessage must outlive the process.
void InstallConsoleInterrupt(int pressesToEndAtOnce, const char* endMessage);
// true once after each press that has not been taken yet.
bool TakeConsoleInterrupt();

}  // namespace vorlan
