#include "platform/trace_folder.h"

#include <sys/utsname.h>

#include <cstdlib>

namespace vorlan {

std::string TraceFolder() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state != nullptr && state[0] == '/')
        return std::string(state) + "/vorlan/traces";
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] == '\0')
        return {};
    return std::string(home) + "/.local/state/vorlan/traces";
}

std::string SystemName() {
    utsname name{};
    if (uname(&name) != 0)
        return "POSIX";
    return std::string(name.sysname) + " " + name.release + " " + name.machine;
}

}  // namespace vorlan
