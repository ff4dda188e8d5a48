// The last line vorlan-flash prints: what became of the run, in words a
// technician can act on. The run's own result texts are used where they say
// it; a run that ends without a text of its own (the Upgrade build's silent
// image warnings, a port that cannot be used) is explained here.
#pragma once

#include <cstdint>
#include <string>

#include "engine/run_result.h"

namespace vorlan::flash {

// Boards of a --loop so far.
struct LoopTally {
    int programmed = 0;
    int failed = 0;
};

struct RunFacts {
    // The run as the engine tells it: how it ended, the board it identified,
    // what it sent.
    RunResult result;
    std::string portName;  // the port as the user named it: "COM3", "/dev/ttyUSB0"

    // For the result line, the JSON result and the log.
    std::string comName;     // "COM33", the driver's name for the port
    std::string devicePath;  // where that name led
    std::string firmwareBuild;
    double seconds = 0;
    std::uint32_t skipStart = 0;  // the board's skip window (0: none), address units
    std::uint32_t skipLength = 0;
    int exitStatus = 1;

    // --loop: the board's number on its port (from 1; 0 outside a loop) and
    // the tally with this board counted.
    int boardNumber = 0;
    LoopTally tally;
    // The firmware offered: "built-in 24HJ64" or the --hex file as given.
    std::string firmwareName;
    // The file that holds the run's trace; empty when none was saved.
    std::string tracePath;
    // --serial, --serial-list: the board's number (also when the run failed)
    // and why a programmed board still counts as failed.
    std::string serial;
    std::string serialProblem;

    bool Succeeded() const { return result.Succeeded() && serialProblem.empty(); }
    // The board the identification read (chip identity 0: none found).
    const DeviceIdentity* Board() const {
        const RunStatistics& facts = result.facts;
        return facts.boardIdentified && facts.board.chipIdentity != 0 ? &facts.board : nullptr;
    }
};

// The run's result text without its blanks ("Program OK"), with what it
// means where that helps: "Invalid Port Com - /dev/ttyS4: Permission
// denied", "no firmware in this build for this board (chip 66, board code 9)",
// "the firmware in this build is for DEMO-24HJ - Preparation4, not for this
// board"...
std::string ResultSummary(const RunFacts& facts);

// The text a run shows for kind, without the blanks around it.
std::string ResultWords(RunEnd kind);

// The exit status of a run by how it ended: 0 programmed, 130 stopped with
// Ctrl-C, else 1.
int ExitStatusOf(const RunResult& result);

}  // namespace vorlan::flash
