#include "platform/console.h"

#include <sys/prctl.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <cstring>

namespace vorlan {

namespace {

volatile std::sig_atomic_t gInterruptPending = 0;
volatile std::sig_atomic_t gInterruptSentHere = 0;
volatile std::sig_atomic_t gInterruptPresses = 0;
int gPressesToEnd = 0;
const char* gEndMessage = "";

// Only async-signal-safe calls here.
void OnInterrupt(int, siginfo_t* info, void*) {
    // The terminal driver raises the signal from the kernel; kill() and
    // sigqueue() name a sending process.
    if (info == nullptr || info->si_code != SI_KERNEL)
        gInterruptSentHere = 1;
    gInterruptPresses = gInterruptPresses + 1;
    if (gPressesToEnd > 0 && gInterruptPresses >= gPressesToEnd) {
        const ssize_t ignored = write(STDERR_FILENO, gEndMessage, std::strlen(gEndMessage));
        (void)ignored;
        _exit(130);
    }
    gInterruptPending = 1;
}

// A request to end asks for a stop once, however often it comes: a child is
// told again as each thread of its ended parent goes.
void OnEndRequest(int) {
    gInterruptSentHere = 1;
    gInterruptPending = 1;
}

void StopOnSignal(int signalNumber, bool evenWhenIgnored) {
    struct sigaction action {};
    action.sa_handler = OnEndRequest;
    sigemptyset(&action.sa_mask);
    struct sigaction before {};
    sigaction(signalNumber, nullptr, &before);
    if (evenWhenIgnored || before.sa_handler != SIG_IGN)
        sigaction(signalNumber, &action, nullptr);
}

}  // namespace

void UseParentConsole() {}

bool HasDesktop() {
    return std::getenv("DISPLAY") != nullptr || std::getenv("WAYLAND_DISPLAY") != nullptr ||
           std::getenv("QT_QPA_PLATFORM") != nullptr;
}

bool IsTerminal(std::FILE* stream) {
    return stream != nullptr && isatty(fileno(stream)) == 1;
}

void InstallConsoleInterrupt(int pressesToEndAtOnce, const char* endMessage) {
    gPressesToEnd = pressesToEndAtOnce;
    gEndMessage = endMessage != nullptr ? endMessage : "";
    struct sigaction action {};
    action.sa_sigaction = OnInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_SIGINFO;
    sigaction(SIGINT, &action, nullptr);
    StopOnSignal(SIGTERM, false);
    StopOnSignal(SIGHUP, false);
}

void StopWhenParentEnds() {
    std::signal(SIGPIPE, SIG_IGN);
    StopOnSignal(SIGTERM, true);
    const pid_t parent = ::getppid();
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    // The parent may have ended before the request stood.
    if (::getppid() != parent)
        ::raise(SIGTERM);
}

bool TakeConsoleInterrupt() {
    return TakeConsoleInterruptWithOrigin() != ConsoleInterrupt::kNone;
}

ConsoleInterrupt TakeConsoleInterruptWithOrigin() {
    if (gInterruptPending == 0)
        return ConsoleInterrupt::kNone;
    gInterruptPending = 0;
    const bool sentHere = gInterruptSentHere != 0;
    gInterruptSentHere = 0;
    return sentHere ? ConsoleInterrupt::kSentHere : ConsoleInterrupt::kFromTerminal;
}

}  // namespace vorlan
