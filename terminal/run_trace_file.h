// Where vorlan-flash puts a run's trace once the run has ended: the --trace
// file (one per port and board in a loop), else, for a failed run, the state
// folder. The result then names the file. A trace that cannot be written
// changes nothing about the run; the first such problem goes to stderr.
#pragma once

#include "terminal/flash_arguments.h"
#include "terminal/run_summary.h"

namespace vorlan::flash {

// The trace's header fields that stay the same for every run of this process.
void SetTraceHeader(const std::string& program, const std::string& buildVersion,
                    const std::string& firmwareName);

// Saves the trace of the run that just ended as arguments ask; sets
// facts.tracePath to the file written.
void KeepRunTrace(const FlashArguments& arguments, RunFacts& facts);

}  // namespace vorlan::flash
