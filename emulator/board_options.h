// The command line of vorlan-board.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

#include "emulator/boot_loader_model.h"

namespace vorlan::board {

struct EmulatorOptions {
    board::BoardConfig board;
    board::BoardFaults faults;
    int comNumber = 0;            // 0: the first number without an alias link
    bool replaceLink = false;     // take over a link to a device that exists
    bool lineRate = false;        // bytes take their time at 115200 baud 8N2
    std::uint32_t writeMs = 0;    // flash write time per program block
    std::uint32_t latencyMs = 0;  // a USB adapter's latency timer; 0: none
    std::string dumpFile;         // Intel HEX of the board's memory; empty: none
    std::uint32_t lateMs = 0;     // search bytes unheard for this long after start
    // Boards one after another on the one COM name: after a run that wrote
    // to it, the board stays stayMs (still answering), goes away for awayMs
    // (silent, or with vanish its port gone) and comes back as a fresh
    // erased board; boards in all (0: no end).
    int boards = 1;
    std::uint32_t stayMs = 500;
    std::uint32_t awayMs = 2000;
    bool vanish = false;
    // With boards: the faults go to every faultsEvery-th board only (board
    // faultsEvery, 2 x faultsEvery, ...); 0: to every board.
    int faultsEvery = 0;
};

struct HelpRequested {};
struct VersionRequested {};
struct OptionError {
    std::string message;
};

using ParsedEmulatorOptions =
    std::variant<EmulatorOptions, HelpRequested, VersionRequested, OptionError>;

// Parses argv[1..]. Defaults: PIC24HJ64 (254), BIOS byte 9, release text
// "DEMO BOOT 1.0", board code and preparation of the build's firmware.
ParsedEmulatorOptions ParseEmulatorOptions(int argc, char** argv);

std::string EmulatorUsage();

}  // namespace vorlan::board
