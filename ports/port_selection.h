// The user's port: which one is chosen, reopening it when the choice changed,
// and showing it on a status bar. Binds the chosen serial port to the engine.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "engine/link_port.h"
#include "engine/views.h"
#include "ports/port_problem.h"

namespace vorlan {

inline constexpr std::uint32_t kLineSpeed = 115200;

std::int16_t& CurrentPortIndex();
std::int16_t& OpenedPortIndex();
// Both indexes back to 0 and no problem sink (for tests; ports stay as they
// are).
void ResetPortSelection();

// Opens the current port at 115200 8N2 and clears DTR and RTS when the current
// index differs from the opened one, or when the same port is not open or its
// device has gone away (PortStillPresent): a replugged adapter or a restarted
// emulator is found again. A port still present is left as it is. Reports
// "Invalid Port Com" (red, code 0) through ReportResult when the port is then
// not usable. The port opened before stays open. Blocks only as long as
// opening a device does.
void ReopenSelectedPort();

// Opens the port with this index at the link's settings (115200 baud, 8 data
// bits, no parity, two stop bits) and clears DTR and RTS, closing it first;
// true when it can be used. Reports nothing.
bool OpenLinkPort(std::int16_t index);

// Told after every open that ReopenSelectedPort makes: DescribePortProblem of
// the port (in the advice's words) when it is not usable, empty when it is.
// Unset: nobody is told.
using PortProblemSink = std::function<void(const std::string& problem)>;
void SetPortProblemSink(PortProblemSink sink, PortAdvice advice = {});

void ShowPortOnStatusBar(StatusBarView& bar);
// "COM<n>" for index n-1, "-----" for a negative index.
std::string PortNameOfIndex(std::int16_t index);

// The port index as the setting "com" stores it: the leading decimal number
// of the text (leading white space skipped, an optional sign, digits up to the
// first other character), kept to its low 16 bits. No number gives 0.
std::int16_t PortIndexFromSetting(const std::string& text);

// The waiting half of a pause: up to ms for the board's bytes on the current
// port (at once when bytes are already waiting), or a plain ms when no port
// is open. Returns the microseconds it really waited, plus the time since the
// previous pause ended when that was under 100 ms: the engine adds these up
// against its time limits, so they hold however busy the line keeps it. UI
// thread only.
std::int64_t WaitForBoardBytes(int ms);

// The engine's LinkPort on the serial driver and the current port index.
class SelectedSerialPort : public LinkPort {
public:
    void ReopenSelected() override;
    void ShowOnStatusBar(StatusBarView& bar) override;
    std::int16_t Check() override;
    int Write(const std::uint8_t* bytes, std::int32_t count) override;
    std::int32_t Read(std::uint8_t* buffer, std::int32_t capacity) override;
    std::int64_t Drain() override;
    std::string Problem() override;
};

}  // namespace vorlan
