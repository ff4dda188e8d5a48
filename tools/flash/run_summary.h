// The last line vorlan-flash prints: what became of the run, in words a
// technician can act on. The run's own texts are used where they say it; a
// run that ends without a text of its own (the Upgrade build's silent image
// warnings, a port that cannot be used) is explained here.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "engine/run_statistics.h"

namespace vorlan::flash {

// Boards of a --loop so far.
struct LoopTally {
    int programmed = 0;
    int failed = 0;
};

struct RunFacts {
    bool succeeded = false;
    std::string lastStatus;   // the last step or result text of the run
    std::string portName;     // the port as the user named it: "COM3", "/dev/ttyUSB0"
    std::string portProblem;  // why the port could not be opened, if known
    // The identified board, for a run that ended after the search found it
    // (chip identity 0: none found).
    std::uint8_t chipIdentity = 0;
    std::uint8_t boardCode = 0;
    std::uint8_t biosByte = 0;
    std::uint8_t preparation = 0;
    bool fullIdentity = false;  // the board said its board code and preparation
    std::string releaseText;    // from its information frame
    bool imageEmpty = false;    // no firmware in this build for that board

    // For the result line, the JSON result and the log.
    std::string comName;     // "COM33", the driver's name for the port
    std::string devicePath;  // where that name led
    std::string firmwareBuild;
    double seconds = 0;
    RunStatistics statistics;
    std::uint32_t skipStart = 0;  // the board's skip window (0: none), address units
    std::uint32_t skipLength = 0;
    int exitStatus = 1;

    // --loop: the board's number on its port (from 1; 0 outside a loop) and
    // the tally with this board counted.
    int boardNumber = 0;
    LoopTally tally;
    // The firmware offered: "built-in 24HJ64" or the --hex file as given.
    std::string firmwareName;
    // CRC-32 of the image as the run planned to send it (image_crc.h); empty
    // when the run ended before an image was chosen.
    std::optional<std::uint32_t> imageCrc;
};

// "Program OK", "CHK Error !!", "Invalid Port Com - /dev/ttyS4: Permission
// denied", "no firmware in this build for this board (chip 66, board code 9)",
// "the firmware in this build is for DEMO-24HJ - Preparation4, not for this
// board"...
std::string ResultSummary(const RunFacts& facts);

// true when the run ended with the user's stop (" User Abort !! ").
bool StoppedByUser(const RunFacts& facts);

}  // namespace vorlan::flash
