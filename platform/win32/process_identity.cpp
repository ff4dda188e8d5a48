#include "platform/process_identity.h"

#include <windows.h>

#include <cstdlib>

namespace vorlan {

namespace {

// The process's creation time in 100 ns units; "" when it cannot be read.
std::string CreationTime(HANDLE process) {
    FILETIME created{};
    FILETIME exited{};
    FILETIME kernel{};
    FILETIME user{};
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user))
        return "";
    const unsigned long long ticks =
        (static_cast<unsigned long long>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
    return std::to_string(ticks);
}

}  // namespace

std::string CurrentProcessName() {
    return std::to_string(GetCurrentProcessId()) + "." + CreationTime(GetCurrentProcess());
}

bool ProcessStillRuns(const std::string& processName) {
    const std::size_t dot = processName.find('.');
    char* end = nullptr;
    const unsigned long pid = std::strtoul(processName.c_str(), &end, 10);
    if (dot == std::string::npos || end != processName.c_str() + dot || pid == 0)
        return false;
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (process == nullptr) {
        // A process we may not look at still runs; one that is gone cannot
        // be opened at all.
        return GetLastError() == ERROR_ACCESS_DENIED;
    }
    DWORD code = 0;
    const bool running = GetExitCodeProcess(process, &code) && code == STILL_ACTIVE &&
                         CreationTime(process) == processName.substr(dot + 1);
    CloseHandle(process);
    return running;
}

}  // namespace vorlan
