#include "terminal/terminal_pause.h"

#include "engine/link_state.h"
#include "platform/console.h"
#include "ports/port_selection.h"

namespace vorlan::flash {

namespace {

constexpr int kPauseMs = 5;
constexpr int kPressesToEndAtOnce = 3;

}  // namespace

std::int64_t TerminalPause::PauseFiveMs() {
    const std::int64_t waitedUs = WaitForBoardBytes(kPauseMs);
    if (TakeConsoleInterrupt())
        RequestStop();
    return waitedUs;
}

void InstallStopOnInterrupt() {
    InstallConsoleInterrupt(kPressesToEndAtOnce, "\nvorlan-flash: interrupted\n");
}

}  // namespace vorlan::flash
