// The last line vorlan-flash prints: what became of the run, in words a
// technician can act on. The run's own texts are used where they say it; a
// run that ends without a text of its own (the Upgrade build's silent image
// warnings, a port that cannot be used) is explained here.
#pragma once

#include <cstdint>
#include <string>

namespace vorlan::flash {

struct RunFacts {
    bool succeeded = false;
    std::string lastStatus;   // the last step or result text of the run
    std::string portName;     // "COM3"
    std::string portProblem;  // why the port could not be opened, if known
    // The identified board, for a run that ended after the search found it.
    std::uint8_t chipIdentity = 0;
    std::uint8_t boardCode = 0;
    bool imageEmpty = false;  // no firmware in this build for that board
};

// "Program OK", "CHK Error !!", "Invalid Port Com - /dev/ttyS4: Permission
// denied", "no firmware in this build for this board (chip 66, board code 9)",
// "the firmware in this build is for DEMO-24HJ - Preparation4, not for this
// board"...
std::string ResultSummary(const RunFacts& facts);

}  // namespace vorlan::flash
