// What the programming run did on the line, for front ends that report it
// (vorlan-flash's result line, its JSON and its log). The engine counts as
// frames go out; every run starts from zero. Process-wide, like the run plan;
// others only read it.
#pragma once

#include <cstdint>
#include <string>

#include "engine/link_state.h"

namespace vorlan {

struct RunStatistics {
    // Program, last and head block frames put on the line, each once however
    // often it was sent: more than 0 means the board's flash may have changed.
    std::int32_t blocksSent = 0;
    // Frames sent again after the board refused them ('N').
    std::int32_t resends = 0;
    // Program blocks inside the board's skip window, left out on purpose.
    std::int32_t skippedBlocks = 0;
    // The board as the identification read it (boardIdentified false until
    // then): bytes that reach the parser later in the run cannot change which
    // board a report names.
    bool boardIdentified = false;
    DeviceIdentity board;
    bool fullIdentity = false;
    // The release text of its information frame (empty without one).
    std::string releaseText;
};

RunStatistics& CurrentRunStatistics();
void ResetRunStatistics();  // at the start of each run, and with the engine's state

}  // namespace vorlan
