#include <cstdio>
#include <cstdlib>

#include "app/startup.h"

int main(int argc, char** argv) {
    // Without any display Qt ends the process with a terse message of its
    // own; tell the technician what to use instead.
    if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr &&
        std::getenv("QT_QPA_PLATFORM") == nullptr) {
        std::fprintf(stderr,
                     "vorlan: no display found (DISPLAY is not set); "
                     "on a terminal, use vorlan-flash\n");
        return 1;
    }
    return vorlan::Startup(argc, argv, VORLAN_BUILD_VERSION);
}
