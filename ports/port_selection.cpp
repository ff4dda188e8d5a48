#include "ports/port_selection.h"

#include <chrono>
#include <optional>
#include <thread>
#include <utility>

#include "engine/decimal_text.h"
#include "engine/run_result.h"
#include "engine/status_reporting.h"
#include "ports/serial_driver.h"

namespace vorlan {

namespace {

struct SelectionState {
    std::int16_t current = 0;
    std::int16_t opened = 0;
    PortProblemSink problems;
    PortAdvice advice;
    // When the last pause's wait ended.
    std::optional<std::chrono::steady_clock::time_point> lastPauseEnd;
};

SelectionState gSelection;

// The boot-loader link: 8 data bits, no parity, two stop bits.
constexpr std::uint8_t kLineDataBits = 8;
// Time between two pauses up to this counts as part of the wait.
constexpr std::int64_t kLongestBusyUs = 100'000;

}  // namespace

std::int16_t& CurrentPortIndex() {
    return gSelection.current;
}
std::int16_t& OpenedPortIndex() {
    return gSelection.opened;
}

void ResetPortSelection() {
    gSelection = SelectionState{};
}

void SetPortProblemSink(PortProblemSink sink, PortAdvice advice) {
    gSelection.problems = std::move(sink);
    gSelection.advice = std::move(advice);
}

bool OpenLinkPort(std::int16_t index) {
    ClosePort(index);
    OpenPort(index, kLineSpeed, kParityNone, kStopBitsTwo, kLineDataBits);
    SetPortLines(index, 1);
    return CheckPort(index) >= 0;
}

void ReopenSelectedPort() {
    const std::int16_t index = CurrentPortIndex();
    // The same choice is opened again when its device went away or never
    // opened: an adapter plugged in or replugged since is then found.
    if (OpenedPortIndex() == index && PortStillPresent(index))
        return;
    OpenedPortIndex() = index;
    // The port opened before stays open: only this index is closed first.
    const bool usable = OpenLinkPort(index);
    if (gSelection.problems)
        gSelection.problems(usable ? std::string() : DescribePortProblem(index, gSelection.advice));
    if (!usable)
        ReportRunEnd(RunEnd::InvalidPort);
}

std::int64_t WaitForBoardBytes(int ms) {
    using Clock = std::chrono::steady_clock;
    using std::chrono::microseconds;
    const Clock::time_point start = Clock::now();
    // What the run did since the last pause (reading and parsing the board's
    // bytes, writing a frame, or waiting for the CPU on a busy machine) took
    // time too: with a flood on the line it is nearly all the time, and a
    // 10 s search would last much longer. A longer gap is no part of a wait:
    // the idle time before a run, or a dialog opened during one.
    std::int64_t busyUs = 0;
    if (gSelection.lastPauseEnd) {
        busyUs = std::chrono::duration_cast<microseconds>(start - *gSelection.lastPauseEnd).count();
        if (busyUs < 0 || busyUs > kLongestBusyUs)
            busyUs = 0;
    }
    const int index = CurrentPortIndex();
    if (index >= 0 && index <= kHighestPortIndex && PortRecordAt(index).open != 0) {
        WaitForInput(index, ms);
    } else {
        // Nothing to wait for: still let the time pass, so that every limit
        // of a run keeps its length when the port went away.
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
    const Clock::time_point end = Clock::now();
    gSelection.lastPauseEnd = end;
    return std::chrono::duration_cast<microseconds>(end - start).count() + busyUs;
}

std::string PortNameOfIndex(std::int16_t index) {
    return index < 0 ? std::string("-----") : "COM" + std::to_string(index + 1);
}

void ShowPortOnStatusBar(StatusBarView& bar) {
    SetPanel(bar, PortPanelIndex, PortNameOfIndex(CurrentPortIndex()));
}

void SelectedSerialPort::ReopenSelected() {
    vorlan::ReopenSelectedPort();
}

void SelectedSerialPort::ShowOnStatusBar(StatusBarView& bar) {
    vorlan::ShowPortOnStatusBar(bar);
}

std::int16_t SelectedSerialPort::Check() {
    return vorlan::CheckPort(CurrentPortIndex());
}

int SelectedSerialPort::Write(const std::uint8_t* bytes, std::int32_t count) {
    return vorlan::WritePort(CurrentPortIndex(), bytes, count);
}

std::int32_t SelectedSerialPort::Read(std::uint8_t* buffer, std::int32_t capacity) {
    return vorlan::ReadPort(CurrentPortIndex(), buffer, capacity);
}

std::int64_t SelectedSerialPort::Drain() {
    return vorlan::DrainInput(CurrentPortIndex());
}

std::string SelectedSerialPort::Problem() {
    return DescribePortProblem(CurrentPortIndex(), gSelection.advice);
}

std::int16_t PortIndexFromSetting(const std::string& text) {
    return ReadLeadingDecimal(text).Low16();
}

}  // namespace vorlan
