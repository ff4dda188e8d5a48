// What one vorlan-flash process sets up for its runs on its one port, as the
// desktop program does at start: the terminal console, the windows the engine
// writes to, the engine's pause and port, the image table (with the firmware
// of --hex in its slot) and the notifier of --notify. Then one run after
// another: each prints its result line (or JSON), appends its log line and
// returns its facts. The engine's state is process-wide, so a process holds
// one station. Blocks for each run; UI thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "ports/engine_binding.h"
#include "ports/port_selection.h"
#include "terminal/board_serials.h"
#include "terminal/counting_port.h"
#include "terminal/flash_arguments.h"
#include "terminal/hex_firmware.h"
#include "terminal/run_summary.h"
#include "terminal/terminal_console.h"
#include "terminal/terminal_pause.h"
#include "terminal/terminal_views.h"

namespace vorlan::flash {

class FlashStation {
public:
    // May throw what start-up throws (a notifier port in use, a setting that
    // is not text). firmware: the --hex image, already read and checked.
    FlashStation(const FlashArguments& arguments, const std::string& buildVersion,
                 std::function<double()> seconds, HexFirmware& firmware);
    FlashStation(const FlashStation&) = delete;
    FlashStation& operator=(const FlashStation&) = delete;

    // The first line: program, firmware and port (text), or the start object.
    void PrintStart();
    // One update run as the start button makes it. boardNumber 0: a single
    // run; from 1, the board's number in a loop, whose tally (updated here)
    // the result line carries. Empty, after a message, when no serial number
    // is left for the board (nothing sent).
    std::optional<RunFacts> ProgramBoard(int boardNumber, LoopTally& tally);

    // Opens the port now (it stays open for the run), with the --reset
    // pulse; false when it cannot be used (the result then says why).
    bool OpenPort();
    // The --reset pulse on the open port; a note on the console when the
    // port has no such line.
    void PulseReset();
    // Whether a serial number is left for another board (always without
    // --serial or --serial-list).
    bool SerialLeft() { return serials_.AnyLeft(); }
    // The result of a run that did not get to the board (the port failed).
    RunFacts PortFailure();

    const std::string& Label() const { return label_; }
    std::int16_t PortIndex() const { return portIndex_; }
    std::uint8_t SearchByte() const;
    TerminalConsole& Console() { return console_; }
    Pause& EnginePause() { return pause_; }
    ProgressBarView& Progress() { return progress_; }
    StatusBarView& Status();
    const FlashArguments& Arguments() const { return arguments_; }
    bool PrintsText() const { return !arguments_.json && !arguments_.quiet; }
    double Seconds() const { return seconds_(); }
    std::uint64_t BytesSent() const { return port_.BytesSent(); }
    std::uint64_t BytesReceived() const { return port_.BytesReceived(); }

    // The facts every report of a run shares, read after it ended.
    RunFacts FactsOfRun(RunResult result, double seconds);
    // Appends the log line (the exit status may change to kExitNotLogged),
    // prints the notes and the result.
    void Report(RunFacts& facts);
    // Prints a line of the run's own output (not a step), flushed. result:
    // the run's result, identification or tally, which names its port.
    void PrintLine(const std::string& line, bool result = false);

private:
    const FlashArguments& arguments_;
    std::string buildVersion_;
    std::function<double()> seconds_;
    bool upgradeMode_;
    SelectedSerialPort serialPort_;
    CountingPort port_;
    TerminalConsole console_;
    TerminalUpgradeWindow upgradeWindow_;
    TerminalUpdaterWindow updaterWindow_;
    TerminalPause pause_;
    EngineBinding binding_;
    TerminalProgressBar progress_;
    std::string label_;
    std::int16_t portIndex_ = -1;
    std::string firmwareName_;
    BoardSerials serials_;
};

}  // namespace vorlan::flash
