// Command line of vorlan-flash. Pure functions; no I/O.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "terminal/serial_arguments.h"

namespace vorlan::flash {

enum class FlashAction { Run, List, Firmware, Version, Help, Explain, UsageError };

// One --port value. A COM name is checked here; a device (a path, or a name
// looked up in /dev/serial/by-id and /dev) is found when the run starts.
struct PortArgument {
    std::string label;                     // "COM5" (any case given), or the device as given
    std::optional<std::int16_t> comIndex;  // COM<n>: n - 1; empty for a device
};

struct FlashArguments {
    FlashAction action = FlashAction::Run;
    // One run per port, in parallel when there are several; none: the port
    // of the setting "com".
    std::vector<PortArgument> ports;
    bool notify = false;  // --notify: start the loopback status notifier
    bool stats = false;   // --stats: one machine-readable line on stderr
    bool json = false;    // --json: one JSON object per line instead of text
    bool quiet = false;   // --quiet: only the result
    // A run on one of several ports reports to the program that started it
    // in JSON records only (json_record.h); not for people, not in --help.
    bool records = false;
    std::string logFile;  // --log FILE: one JSON line per run appended
    // --trace FILE: the run's trace goes there (else a failed run's goes to
    // the state folder); --explain FILE: tell that trace, run nothing.
    std::string traceFile;
    std::string explainFile;
    // --loop: board after board on each port until Ctrl-C, or --count boards
    // on each (0: no end).
    bool loop = false;
    int count = 0;
    bool identify = false;  // --identify: search and identify, write nothing
    // --hex FILE: this firmware instead of the built-in one, read for the
    // family --chip names (empty: the build's default slot), with the image
    // identity --board-code / --preparation give (empty: the build's).
    std::string hexFile;
    std::string chipName;
    std::optional<std::uint8_t> boardCode;
    std::optional<std::uint8_t> preparation;
    // --reset dtr|rts: pulse this modem line after the open (jigs that wire
    // it to the board's reset).
    enum class ResetLine { kNone, kDtr, kRts } reset = ResetLine::kNone;
    // --serial, --serial-list and their placement: a number for each board.
    SerialArguments serial;
    std::string error;  // what was wrong, for FlashAction::UsageError
};

// argv[0] is the program name and is not examined.
FlashArguments ParseFlashArguments(const std::vector<std::string>& arguments);

// "COM<n>" in any letter case with n from 1 to 257 (the ports a run can
// open) gives n - 1.
std::optional<std::int16_t> PortIndexOfComName(const std::string& name);

inline constexpr const char* kRecordsOption = "--records";

// The arguments of the run on one of several ports: the same options with
// that port alone, and kRecordsOption. Not for --notify, which one process at a time can use.
std::vector<std::string> SinglePortArguments(const FlashArguments& arguments,
                                             const PortArgument& port);

// The --help text; programName as typed by the user.
std::string UsageText(const std::string& programName);

}  // namespace vorlan::flash
