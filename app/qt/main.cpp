#include <cstdio>

#include "app/desktop_usage.h"
#include "app/qt/startup.h"
#include "platform/console.h"

int main(int argc, char** argv) {
    // Answered before anything looks for a display, so that they work on a
    // terminal and at build time; start-up reads "\P" and ignores the rest.
    if (const auto answered = vorlan::AnswerInfoArgument(argc, argv, VORLAN_PROJECT_VERSION))
        return *answered;
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
