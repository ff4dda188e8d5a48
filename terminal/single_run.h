// One update run of vorlan-flash in this process: on the one port of the
// arguments, or on the port of the setting "com" when none is named. Prints
// the run as the arguments ask (text, JSON or quiet), appends the log line,
// and returns the exit status. The engine's state is process-wide, so one
// process makes one run; several ports run in child processes
// (parallel_runs.h). Blocks for the whole run; may throw what start-up
// throws (a notifier port in use, a setting that is not text).
#pragma once

#include <functional>
#include <string>

#include "terminal/flash_arguments.h"
#include "terminal/hex_firmware.h"

namespace vorlan::flash {

inline constexpr int kExitSucceeded = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitNotLogged = 3;  // programmed, but the log line is missing
inline constexpr int kExitStopped = 130;  // Ctrl-C, as a shell reports SIGINT

// What can be told without a board, told before any port opens: reads the
// --hex file into firmware (its notes go to stderr) and checks that the log
// can be appended to. false after a message on stderr (exit status 2).
bool CheckBeforeAnyPort(const FlashArguments& arguments, HexFirmware& firmware);

// buildVersion: the build's version string. seconds: a steady clock.
// firmware: from CheckBeforeAnyPort.
int RunOneBoard(const FlashArguments& arguments, const std::string& buildVersion,
                const std::function<double()>& seconds, HexFirmware& firmware);

}  // namespace vorlan::flash
