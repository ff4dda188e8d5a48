// Several boards at once. The engine holds one run per process, so
// vorlan-flash starts itself once per port (platform/child_process.h), all at
// the same time, and relays what each run prints: every line prefixed with its
// port ("COM5: Search Device"; with --json the objects as they are, since
// each names its port), the run's errors likewise on stderr. When all have
// ended it prints a summary with every port's result line (with --json one
// object holding every run's result).
//
// Ctrl-C at the terminal reaches every run directly (they share its process
// group); an interrupt sent to this process alone is passed on to each run.
// Each run appends its own --log line.
#pragma once

#include <functional>

#include "terminal/flash_arguments.h"

namespace vorlan::flash {

// Blocks until every run has ended. The exit status: 0 when every board was
// programmed, 130 when a run was stopped with Ctrl-C, else 1 when a run failed
// (or could not be started), else 3 when a log line is missing.
int RunOnEveryPort(const FlashArguments& arguments, const std::function<double()>& seconds);

// The exit status of several runs by that rule.
int CombinedExitStatus(const std::vector<int>& statuses);

}  // namespace vorlan::flash
