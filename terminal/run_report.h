// What vorlan-flash reports once a run has ended, built from its RunFacts:
// the result line a technician reads at a glance, the notes that go before it,
// and the JSON result that --json prints and --log appends.
#pragma once

#include <string>

#include "terminal/json_record.h"
#include "terminal/run_summary.h"

namespace vorlan::flash {

// The port and the board, then what became of the run:
// "COM5 DEMO-24HJ (24HJ64, BIOS 09): Program OK (6.3 s)",
// "COM7: FAILED - Device not Found (10.2 s)".
std::string ResultLine(const RunFacts& facts);

// The port and the board the line starts with: "COM5 DEMO-24HJ (24HJ64,
// BIOS 09)", "COM5 #2".
std::string RunWho(const RunFacts& facts);

// The board's skip window and the blocks it left out; empty without one.
std::string SkipNote(const RunFacts& facts);

// The result as one JSON object; with a time (ISO 8601, UTC) for the log,
// which then names it first.
std::string ResultJson(const RunFacts& facts, const std::string& time = "");

// The fields every record of a run starts with: time (when given), event,
// port, the board found and the firmware offered.
JsonRecord RunRecord(const RunFacts& facts, const std::string& event, const std::string& time);

}  // namespace vorlan::flash
