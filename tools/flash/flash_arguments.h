// Command line of vorlan-flash. Pure functions; no I/O.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vorlan::flash {

enum class FlashAction { Run, List, Help, UsageError };

struct FlashArguments {
    FlashAction action = FlashAction::Run;
    // Port index from --port COM<n> (n - 1); empty: use the setting "com".
    std::optional<std::int16_t> portIndex;
    bool notify = false;  // --notify: start the loopback status notifier
    bool stats = false;   // --stats: one machine-readable line on stderr
    std::string error;    // what was wrong, for FlashAction::UsageError
};

// argv[0] is the program name and is not examined.
FlashArguments ParseFlashArguments(const std::vector<std::string>& arguments);

// "COM<n>" in any letter case with n from 1 to 32767 gives n - 1.
std::optional<std::int16_t> PortIndexOfComName(const std::string& name);

// The --help text; programName as typed by the user.
std::string UsageText(const std::string& programName);

}  // namespace vorlan::flash
