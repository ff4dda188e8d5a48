// --loop: board after board on the station's port, hands-free. Each board is
// programmed once: after its result the loop waits until it is gone (no
// answer for a second, or its port vanished), then for the next one to
// answer, with no limit. A port that vanished, or was not there at the
// start, is opened again once its COM name leads to a device. Ends after --count boards, or with
// Ctrl-C; then prints the port's tally. Blocks; UI thread only.
#pragma once

#include "terminal/flash_station.h"

namespace vorlan::flash {

// The exit status: with --count, 0 when every board was programmed, else 1;
// Ctrl-C while waiting: 0 when no board failed, else 1; Ctrl-C during a
// run: 130. A missing log line turns 0 into 3.
int RunBoardAfterBoard(FlashStation& station);

// "COM5: 3 boards - 3 programmed, 0 failed"; with --json one object.
std::string LoopTallyLine(const std::string& port, const LoopTally& tally, bool json,
                          int exitStatus);

}  // namespace vorlan::flash
