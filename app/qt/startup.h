// The program's start: the single-instance lock, the main window chosen by
// the build version string, the windows created in their fixed order, the
// message loop, and the error display for whatever ends start-up.
#pragma once

#include <string>

namespace vorlan {

// Runs the whole program and returns its exit code, 0 on every path.
// buildVersion: the build version string ("HNX" or "BRQ" in it selects the
// Upgrade window). argc/argv: the process's command line; argc must outlive
// the call (Qt keeps a reference). Uses the running QApplication when there
// is one (tests), else makes its own. Blocks until the main window closes.
int Startup(int& argc, char** argv, const std::string& buildVersion);

}  // namespace vorlan
