#include "platform/console.h"

#include <unistd.h>

#include <csignal>
#include <cstring>

namespace vorlan {

namespace {

volatile std::sig_atomic_t gInterruptPending = 0;
volatile std::sig_atomic_t gInterruptPresses = 0;
int gPressesToEnd = 0;
const char* gEndMessage = "";

// Only async-signal-safe calls here.
void OnInterrupt(int) {
    gInterruptPresses = gInterruptPresses + 1;
    if (gPressesToEnd > 0 && gInterruptPresses >= gPressesToEnd) {
        const ssize_t ignored = write(STDERR_FILENO, gEndMessage, std::strlen(gEndMessage));
        (void)ignored;
        _exit(130);
    }
    gInterruptPending = 1;
}

}  // namespace

bool IsTerminal(std::FILE* stream) {
    return stream != nullptr && isatty(fileno(stream)) == 1;
}

void InstallConsoleInterrupt(int pressesToEndAtOnce, const char* endMessage) {
    gPressesToEnd = pressesToEndAtOnce;
    gEndMessage = endMessage != nullptr ? endMessage : "";
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;
    sigaction(SIGINT, &action, nullptr);
}

bool TakeConsoleInterrupt() {
    if (gInterruptPending == 0)
        return false;
    gInterruptPending = 0;
    return true;
}

}  // namespace vorlan
