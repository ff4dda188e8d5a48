#include "ports/port_selection.h"

#include "engine/decimal_text.h"
#include "engine/status_reporting.h"
#include "ports/serial_driver.h"

namespace vorlan {

namespace {

struct SelectionState {
    std::int16_t current = 0;
    std::int16_t opened = 0;
};

SelectionState& State() {
    static SelectionState state;
    return state;
}

// The boot-loader link: 8 data bits, no parity, two stop bits.
constexpr std::uint8_t kLineDataBits = 8;

}  // namespace

std::int16_t& CurrentPortIndex() {
    return State().current;
}
std::int16_t& OpenedPortIndex() {
    return State().opened;
}

void ResetPortSelection() {
    State() = SelectionState{};
}

void ReopenSelectedPort() {
    const std::int16_t index = CurrentPortIndex();
    if (OpenedPortIndex() == index)
        return;
    OpenedPortIndex() = index;
    // The port opened before stays open: only this index is closed first.
    ClosePort(index);
    OpenPort(index, kLineSpeed, kParityNone, kStopBitsTwo, kLineDataBits);
    SetPortLines(index, 1);
    if (CheckPort(index) < 0)
        ReportResult("Invalid Port Com", kColourRed, 0);
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

void SelectedSerialPort::Drain() {
    vorlan::DrainInput(CurrentPortIndex());
}

std::int16_t PortIndexFromSetting(const std::string& text) {
    return ReadLeadingDecimal(text).Low16();
}

}  // namespace vorlan
