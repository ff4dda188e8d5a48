// --firmware and --version: the images built in, as the Version list window
// lists them, in columns that line up on a terminal.
#pragma once

#include <string>
#include <vector>

namespace vorlan::flash {

// The Version list lines ("Device - Print - Preparation", a rule, then one
// line per image, fields separated by " - ") as aligned columns under a
// rule as wide as the table.
std::vector<std::string> FirmwareTable(const std::vector<std::string>& versionLines);

}  // namespace vorlan::flash
