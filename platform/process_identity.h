// A name for this process that stays unique on this machine after it ends
// (the process id and its start time, so a reused id is another process), and
// whether the process of such a name still runs. For records that must know
// whether their writer crashed.
#pragma once

#include <string>

namespace vorlan {

// "PID.START" with no blanks.
std::string CurrentProcessName();
// false when that process has ended (or the name cannot be read); true while
// it runs.
bool ProcessStillRuns(const std::string& processName);

}  // namespace vorlan
