#include "terminal/board_presence.h"

#include "engine/command_frame.h"
#include "engine/link_state.h"
#include "ports/port_selection.h"
#include "ports/serial_driver.h"

namespace vorlan::flash {

namespace {

constexpr std::int64_t kUsPerMs = 1000;
constexpr int kResetPulseMs = 50;
// 12 reads of 256 bytes: more than the line carries in a pause at 115200 baud.
constexpr int kReadsPerPause = 12;

enum class Probe { kAnswered, kSilent, kVanished, kStopped };

// Waits ms in pauses; false when Ctrl-C came meanwhile (the stop request
// the pause raised is taken here: no run is active to take it).
bool PauseFor(int ms, Pause& pause) {
    std::int64_t waitedUs = 0;
    while (waitedUs < ms * kUsPerMs) {
        waitedUs += pause.PauseFiveMs();
        if (Link().stopRequest) {
            Link().stopRequest = false;
            return false;
        }
    }
    return true;
}

Probe ProbeOnce(std::int16_t index, std::uint8_t searchByte, Pause& pause) {
    if (!PortStillPresent(index))
        return Probe::kVanished;
    DrainInput(index);
    WritePort(index, &searchByte, 1);
    bool answered = false;
    std::int64_t waitedUs = 0;
    // The whole 100 ms, also after the 'K': the information frame that
    // follows it must not reach the engine's search.
    while (waitedUs < kProbeMs * kUsPerMs) {
        waitedUs += pause.PauseFiveMs();
        if (Link().stopRequest) {
            Link().stopRequest = false;
            return Probe::kStopped;
        }
        // A bounded number of reads a pause: a line that never runs dry must
        // not keep the loop from its pauses (and from Ctrl-C).
        std::uint8_t buffer[256];
        std::int32_t n = 0;
        for (int read = 0;
             read < kReadsPerPause && (n = ReadPort(index, buffer, sizeof buffer)) > 0; ++read) {
            for (std::int32_t i = 0; i < n; ++i) answered = answered || buffer[i] == kReplyAck;
        }
        if (!PortStillPresent(index))
            return Probe::kVanished;
    }
    return answered ? Probe::kAnswered : Probe::kSilent;
}

// Opens the port again when its COM name leads to a device; quietly (no
// "Invalid Port Com"), as the port is expected to be missing for a while.
bool ReopenWhenPresent(std::int16_t index) {
    if (OpenLinkPort(index) && PortStillPresent(index))
        return true;
    ClosePort(index);
    return false;
}

}  // namespace

Presence WaitForBoard(std::int16_t portIndex, std::uint8_t searchByte, Pause& pause,
                      const std::function<void()>& opened,
                      const std::function<void(double)>& waiting) {
    std::int64_t waitedUs = 0;
    for (;;) {
        if (!PortStillPresent(portIndex)) {
            if (ReopenWhenPresent(portIndex)) {
                opened();
            } else {
                if (!PauseFor(kProbeMs, pause))
                    return Presence::kStopped;
                waitedUs += kProbeMs * kUsPerMs;
                waiting(static_cast<double>(waitedUs) / 1e6);
                continue;
            }
        }
        switch (ProbeOnce(portIndex, searchByte, pause)) {
            case Probe::kAnswered:
                return Presence::kAnswered;
            case Probe::kStopped:
                return Presence::kStopped;
            case Probe::kSilent:
            case Probe::kVanished:
                break;
        }
        waitedUs += kProbeMs * kUsPerMs;
        waiting(static_cast<double>(waitedUs) / 1e6);
    }
}

Presence WaitUntilBoardGone(std::int16_t portIndex, std::uint8_t searchByte, Pause& pause,
                            const std::function<void(double)>& waiting) {
    int silentMs = 0;
    std::int64_t waitedUs = 0;
    while (silentMs < kGoneAfterMs) {
        switch (ProbeOnce(portIndex, searchByte, pause)) {
            case Probe::kAnswered:
                silentMs = 0;
                break;
            case Probe::kSilent:
                silentMs += kProbeMs;
                break;
            case Probe::kVanished:
                ClosePort(portIndex);
                return Presence::kGone;
            case Probe::kStopped:
                return Presence::kStopped;
        }
        waitedUs += kProbeMs * kUsPerMs;
        waiting(static_cast<double>(waitedUs) / 1e6);
    }
    return Presence::kGone;
}

std::string PulseModemLine(std::int16_t portIndex, bool dtr, Pause& pause) {
    const PortRecord& record = PortRecordAt(portIndex);
    if (record.open == 0)
        return "--reset: the port is not open";
    SerialBackend& backend = CurrentSerialBackend();
    const char* name = dtr ? "DTR" : "RTS";
    const SerialStatus set =
        backend.SetModemLine(record.handle, dtr ? ModemLineCall::kSetDtr : ModemLineCall::kSetRts);
    // The line goes back whether or not the wait is cut short by Ctrl-C,
    // which the run's first wait then sees.
    const bool waited = PauseFor(kResetPulseMs, pause);
    backend.SetModemLine(record.handle, dtr ? ModemLineCall::kClearDtr : ModemLineCall::kClearRts);
    if (!waited)
        RequestStop();
    if (!set.ok())
        return std::string("--reset: the port has no ") + name + " line to pulse (" + set.message +
               "); the board was not reset";
    return "";
}

}  // namespace vorlan::flash
