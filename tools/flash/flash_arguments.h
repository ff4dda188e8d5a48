// Command line of vorlan-flash, and the two start-up choices it shares with
// the desktop program: the port restored from the setting "com" and the main
// window chosen by the build version string. Pure functions; no I/O.
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

// The port index stored as "com": leading blanks skipped, an optional sign,
// then the digits up to the first other character, kept to 16 bits (the
// higher bits dropped). Empty text or no number gives 0.
std::int16_t PortIndexFromSetting(const std::string& text);

// A build version string containing "HNX" or "BRQ" selects the Upgrade window.
bool SelectsUpgradeWindow(const std::string& buildVersion);

// The --help text; programName as typed by the user.
std::string UsageText(const std::string& programName);

}  // namespace vorlan::flash
