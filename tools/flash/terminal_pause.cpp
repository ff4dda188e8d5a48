#include "tools/flash/terminal_pause.h"

#include <unistd.h>

#include <csignal>
#include <ctime>

#include "engine/link_state.h"
#include "ports/port_selection.h"
#include "ports/serial_driver.h"

namespace vorlan::flash {

namespace {

constexpr int kPauseMs = 5;
constexpr int kPressesToEndAtOnce = 3;

volatile std::sig_atomic_t gInterruptPending = 0;
volatile std::sig_atomic_t gInterruptPresses = 0;

void OnInterrupt(int) {
    gInterruptPresses = gInterruptPresses + 1;
    if (gInterruptPresses >= kPressesToEndAtOnce) {
        static const char kMessage[] = "\nvorlan-flash: interrupted\n";
        const ssize_t ignored = write(STDERR_FILENO, kMessage, sizeof kMessage - 1);
        (void)ignored;
        _exit(130);
    }
    gInterruptPending = 1;
}

void SleepFiveMs() {
    timespec delay{0, kPauseMs * 1'000'000L};
    while (nanosleep(&delay, &delay) != 0) {
        // Interrupted by a signal: sleep the rest.
    }
}

}  // namespace

void TerminalPause::PauseFiveMs() {
    const int index = CurrentPortIndex();
    if (index >= 0 && index <= kHighestPortIndex && PortRecordAt(index).open != 0) {
        WaitForInput(index, kPauseMs);
    } else {
        SleepFiveMs();
    }
    if (gInterruptPending != 0) {
        gInterruptPending = 0;
        RequestStop();
    }
}

void InstallStopOnInterrupt() {
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;
    sigaction(SIGINT, &action, nullptr);
}

}  // namespace vorlan::flash
