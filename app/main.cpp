#include <cstdio>
#include <string_view>

#include "app/desktop_usage.h"
#include "app/startup.h"
#include "platform/console.h"

int main(int argc, char** argv) {
    // Answered before anything looks for a display, so that they work on a
    // terminal and at build time; start-up reads "\P" and ignores the rest.
    const std::string_view first = argc > 1 ? argv[1] : "";
    if (first == "--help") {
        std::fputs(vorlan::DesktopUsage().c_str(), stdout);
        return 0;
    }
    if (first == "--version") {
        std::puts("vorlan " VORLAN_PROJECT_VERSION);
        return 0;
    }
    // Without any display Qt ends the process with a terse message of its
    // own; tell the technician what to use instead.
    if (!vorlan::HasDesktop()) {
        std::fprintf(stderr,
                     "vorlan: no display found (DISPLAY is not set); "
                     "on a terminal, use vorlan-flash\n");
        return 1;
    }
    return vorlan::Startup(argc, argv, VORLAN_BUILD_VERSION);
}
