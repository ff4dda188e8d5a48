#include "tests/ports/fake_serial_backend.h"

#include <algorithm>

namespace vorlan::test {

namespace {

SerialStatus Refused() {
    return {SerialErrorKind::kNotSupported, "refused by the test"};
}

}  // namespace

SerialStatus FakeSerialBackend::OpenExclusive(const std::string& devicePath, int& handle) {
    calls.push_back("open " + devicePath);
    openedPaths.push_back(devicePath);
    if (refuse.count(Step::kOpen) != 0) {
        handle = -1;
        return {SerialErrorKind::kBusy, "busy"};
    }
    handle = nextHandle_++;
    heldHandles.insert(handle);
    return {};
}

SerialStatus FakeSerialBackend::GetLineSettings(int, LineSettings& settings) {
    calls.push_back("getline");
    if (refuse.count(Step::kGetLine) != 0)
        return Refused();
    settings = deviceLine;
    return {};
}

SerialStatus FakeSerialBackend::SetLineSettings(int, const LineSettings& settings) {
    calls.push_back("setline");
    appliedLine = settings;
    return refuse.count(Step::kSetLine) != 0 ? Refused() : SerialStatus{};
}

SerialStatus FakeSerialBackend::SetQueueSizes(int, std::uint32_t input, std::uint32_t output) {
    calls.push_back("queues");
    queueIn = input;
    queueOut = output;
    return refuse.count(Step::kQueues) != 0 ? Refused() : SerialStatus{};
}

SerialStatus FakeSerialBackend::SetTimeouts(int, const PortTimeouts& timeouts) {
    calls.push_back("timeouts");
    appliedTimeouts = timeouts;
    return refuse.count(Step::kTimeouts) != 0 ? Refused() : SerialStatus{};
}

SerialStatus FakeSerialBackend::Write(int, const std::uint8_t* bytes, std::size_t count,
                                      std::uint32_t timeoutMs) {
    calls.push_back("write " + std::to_string(count));
    lastWriteTimeoutMs = timeoutMs;
    if (lineFault != SerialErrorKind::kNone)
        return {lineFault, "line gone"};
    if (refuse.count(Step::kWrite) != 0)
        return {SerialErrorKind::kTimedOut, "timed out"};
    written.insert(written.end(), bytes, bytes + count);
    return {};
}

SerialStatus FakeSerialBackend::DrainOutput(int) {
    calls.push_back("drain");
    if (lineFault != SerialErrorKind::kNone)
        return {lineFault, "line gone"};
    return refuse.count(Step::kDrain) != 0 ? Refused() : SerialStatus{};
}

SerialStatus FakeSerialBackend::ReadNonBlocking(int, std::uint8_t* buffer, std::size_t capacity,
                                                std::size_t& received) {
    calls.push_back("read");
    received = 0;
    if (hungUp)
        return {SerialErrorKind::kHungUp, "hung up"};
    if (refuse.count(Step::kRead) != 0)
        return Refused();
    if (readSizes.empty())
        return {};
    received = std::min(readSizes.front(), capacity);
    readSizes.pop_front();
    for (std::size_t i = 0; i < received; ++i) buffer[i] = static_cast<std::uint8_t>(i);
    return {};
}

bool FakeSerialBackend::WaitReadable(int, int timeoutMs) {
    calls.push_back("wait " + std::to_string(timeoutMs));
    return !readSizes.empty();
}

SerialStatus FakeSerialBackend::SetModemLine(int handle, ModemLineCall call) {
    static const char* const kNames[] = {"setrts", "clrrts", "setdtr", "clrdtr"};
    calls.push_back(std::string(kNames[static_cast<int>(call) - 3]) + " " + std::to_string(handle));
    if (modemLines)
        return {};
    return {SerialErrorKind::kNotSupported, "no modem lines"};  // as a pseudo-terminal
}

SerialStatus FakeSerialBackend::SetLowLatency(int handle, bool on, bool& wasOn) {
    calls.push_back(std::string(on ? "lowlatency " : "normallatency ") + std::to_string(handle));
    wasOn = lowLatencyOn;
    if (noLowLatency)
        return {SerialErrorKind::kNotSupported, "no such setting"};
    lowLatencyOn = on;
    return {};
}

bool FakeSerialBackend::StillNamedBy(int handle, const std::string&) {
    return heldHandles.count(handle) != 0 && renamed.count(handle) == 0;
}

void FakeSerialBackend::Close(int handle) {
    calls.push_back("close " + std::to_string(handle));
    heldHandles.erase(handle);
}

}  // namespace vorlan::test
