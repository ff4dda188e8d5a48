#include "tools/flash/terminal_pause.h"

#include <chrono>
#include <thread>

#include "engine/link_state.h"
#include "platform/console.h"
#include "ports/port_selection.h"
#include "ports/serial_driver.h"

namespace vorlan::flash {

namespace {

constexpr int kPauseMs = 5;
constexpr int kPressesToEndAtOnce = 3;

}  // namespace

void TerminalPause::PauseFiveMs() {
    const int index = CurrentPortIndex();
    if (index >= 0 && index <= kHighestPortIndex && PortRecordAt(index).open != 0) {
        WaitForInput(index, kPauseMs);
    } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(kPauseMs));
    }
    if (TakeConsoleInterrupt())
        RequestStop();
}

void InstallStopOnInterrupt() {
    InstallConsoleInterrupt(kPressesToEndAtOnce, "\nvorlan-flash: interrupted\n");
}

}  // namespace vorlan::flash
