#include "platform/process_identity.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace vorlan {

namespace {

// Field 22 of /proc/PID/stat: the start time in clock ticks after boot; ""
// when the process is gone.
std::string StartTime(long pid) {
    std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
    std::string stat;
    if (!std::getline(file, stat))
        return "";
    // The command name (field 2) may hold blanks and brackets; the fields
    // after its last ')' are plain.
    const std::size_t close = stat.rfind(')');
    if (close == std::string::npos)
        return "";
    std::istringstream fields(stat.substr(close + 1));
    std::string field;
    for (int number = 3; number <= 22 && fields >> field; ++number) {
        if (number == 22)
            return field;
    }
    return "";
}

}  // namespace

std::string CurrentProcessName() {
    const long pid = static_cast<long>(::getpid());
    return std::to_string(pid) + "." + StartTime(pid);
}

bool ProcessStillRuns(const std::string& processName) {
    const std::size_t dot = processName.find('.');
    char* end = nullptr;
    const long pid = std::strtol(processName.c_str(), &end, 10);
    if (dot == std::string::npos || end != processName.c_str() + dot || pid <= 0)
        return false;
    if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
        return false;
    // The same id with another start time is another process.
    return StartTime(pid) == processName.substr(dot + 1);
}

}  // namespace vorlan
