// The terminal a command-line program runs in: whether output goes to one,
// and its interrupt key (Ctrl-C).
#pragma once

#include <cstdio>

namespace vorlan {

// true when the stream writes to a terminal (not a pipe or a file). On
// Windows, a console that takes the terminal control sequences the progress
// bar uses; the call switches them on.
bool IsTerminal(std::FILE* stream);

// false when there is no desktop to show a window on (Linux: none of
// DISPLAY, WAYLAND_DISPLAY and QT_QPA_PLATFORM is set); Windows always has one.
bool HasDesktop();

// For a windowed program's --help and start-up messages: on Windows a
// program of the GUI subsystem started from a console has no standard
// streams; this attaches the console it was started from, if any, and points
// stdout and stderr there. Streams that already lead somewhere (a file, a
// pipe) stay as they are. Elsewhere it does nothing.
void UseParentConsole();

// From now on each interrupt (Ctrl-C) only counts a press for
// TakeConsoleInterrupt; the handler does nothing else, so a run sees the press
// at its next wait. The pressesToEndAtOnce-th press of the process writes
// endMessage to standard error and ends the process at once with status 130,
// for a run that no longer waits. endMessage must outlive the process. On
// Linux a request to end (SIGTERM) or a hang-up (SIGHUP: the terminal
// closed) counts as one press sent here, however often it comes, and never
// ends the process; each only when it was not ignored at start (nohup).
void InstallConsoleInterrupt(int pressesToEndAtOnce, const char* endMessage);

// For a child process started by another program of ours, after
// InstallConsoleInterrupt: when the parent ends, also by a kill that leaves
// it no time to say so, the child gets a press as above and stops its work;
// what it still writes to its closed pipes is lost, not fatal. Linux ties
// this to the parent's thread that started the child: that thread must
// outlive it. Does nothing on Windows, where the parent's children end with
// it.
void StopWhenParentEnds();

// true once after each press that has not been taken yet.
bool TakeConsoleInterrupt();

// Where the presses not yet taken came from. The terminal's interrupt key
// reaches every process of the terminal's foreground group (on Windows,
// every process on the console), children included; an interrupt sent to
// this process alone (kill -INT by a supervising program) reaches only it.
enum class ConsoleInterrupt { kNone, kFromTerminal, kSentHere };
// Like TakeConsoleInterrupt; kSentHere when any of the presses was sent here.
ConsoleInterrupt TakeConsoleInterruptWithOrigin();

}  // namespace vorlan
