// --identify: asks the board who it is and writes nothing to it: the search
// and the identification of an update run, without the programming run (no
// 0xCC, no frame). Prints the board (BIOS byte, chip, board code,
// preparation, release text, skip window) and whether the firmware this run
// would offer fits it, with the reason when not; with --json one object.
#pragma once

#include <string>

#include "terminal/flash_station.h"

namespace vorlan::flash {

// Exit status: 0 when a board answered, 130 on Ctrl-C, else 1.
int IdentifyBoard(FlashStation& station);

// The report of an identification, from the facts of the run; fits: the
// firmware is the board's.
std::string IdentityLine(const RunFacts& facts, bool fits);
std::string IdentityJson(const RunFacts& facts, bool fits);

}  // namespace vorlan::flash
