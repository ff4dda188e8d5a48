// A serial backend that records every call and refuses what a test asks it
// to, for the driver's own logic (order of steps, messages, modem lines).
#pragma once

#include <cstdint>
#include <deque>
#include <set>
#include <string>
#include <vector>

#include "platform/serial_backend.h"

namespace vorlan::test {

class FakeSerialBackend : public SerialBackend {
public:
    enum class Step { kOpen, kGetLine, kSetLine, kQueues, kTimeouts, kWrite, kDrain, kRead };

    SerialStatus OpenExclusive(const std::string& devicePath, int& handle) override;
    SerialStatus GetLineSettings(int handle, LineSettings& settings) override;
    SerialStatus SetLineSettings(int handle, const LineSettings& settings) override;
    SerialStatus SetQueueSizes(int handle, std::uint32_t input, std::uint32_t output) override;
    SerialStatus SetTimeouts(int handle, const PortTimeouts& timeouts) override;
    SerialStatus Write(int handle, const std::uint8_t* bytes, std::size_t count,
                       std::uint32_t timeoutMs) override;
    SerialStatus DrainOutput(int handle) override;
    SerialStatus ReadNonBlocking(int handle, std::uint8_t* buffer, std::size_t capacity,
                                 std::size_t& received) override;
    bool WaitReadable(int handle, int timeoutMs) override;
    SerialStatus SetModemLine(int handle, ModemLineCall call) override;
    SerialStatus SetLowLatency(int handle, bool on, bool& wasOn) override;
    bool StillNamedBy(int handle, const std::string& devicePath) override;
    void Close(int handle) override;

    std::set<Step> refuse;                               // steps that fail
    LineSettings deviceLine;                             // what GetLineSettings reports
    std::deque<std::size_t> readSizes;                   // sizes of successive reads; then 0
    bool hungUp = false;                                 // reads fail as a dead line
    SerialErrorKind lineFault = SerialErrorKind::kNone;  // writes and waits fail so
    bool lowLatencyOn = false;                           // the device's low-latency setting
    bool noLowLatency = false;                           // the device has no such setting
    bool modemLines = false;  // DTR and RTS can be set (a real UART); else refused as a pty
    std::set<int> renamed;    // handles whose name now leads elsewhere

    std::vector<std::string> calls;  // "open <path>", "close <h>", "setdtr <h>" ...
    std::vector<std::string> openedPaths;
    std::set<int> heldHandles;
    LineSettings appliedLine;
    PortTimeouts appliedTimeouts;
    std::uint32_t queueIn = 0;
    std::uint32_t queueOut = 0;
    std::uint32_t lastWriteTimeoutMs = 0;
    std::vector<std::uint8_t> written;

private:
    int nextHandle_ = 10;
};

}  // namespace vorlan::test
