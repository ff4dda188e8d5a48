// Serves a boot-loader model on the master side of a pseudo-terminal, run
// after run, until a signal arrives or the model drops the line.
//
// Timing. With the line rate on, every byte takes 11 bit times at 115200
// baud (8N2 with its start bit: about 95.5 us) in each direction: a byte
// written by the updater reaches the model only when its last bit would have
// arrived, and each answer byte is handed to the updater when its own last bit
// would have. A program block written to flash delays its answer by the write
// time. Bytes from the updater are handed to the model together once the
// last of those queued is due, each with its own arrival time: the answers,
// which follow a frame's last byte, keep their times. With the line rate off,
// bytes move as soon as they can.
//
// Adapter latency. A USB serial adapter gathers the bytes it receives and
// passes them on when its latency timer runs out or a packet is full. With a
// latency set, bytes for the updater wait (after their wire time) until
// latencyMs have passed since the first of them arrived, or until
// kAdapterPacketBytes have gathered.
//
// The memory dump, when asked for, is written (whole, by renaming a temporary
// file) once the board has been written to and the line has then been quiet
// for kDumpQuietMs, and again at the end.
#pragma once

#include <signal.h>

#include <chrono>
#include <cstdint>
#include <deque>
#include <iosfwd>
#include <string>

#include "emulator/boot_loader_model.h"

namespace vorlan::board {

struct ServerTiming {
    bool lineRate = false;
    std::uint32_t writeMs = 0;
    std::uint32_t latencyMs = 0;  // 0: no adapter between board and updater
};

class BoardServer {
public:
    // RunDone: the board's run is over and it has stayed (EndAfterRun).
    enum class End { Signal, HangUp, LineError, RunDone };
    static constexpr std::int64_t kDumpQuietMs = 300;
    static constexpr std::size_t kAdapterPacketBytes = 62;

    // Borrows the model, the master descriptor and the output stream (one
    // line per event). dumpFile empty: no dump.
    BoardServer(BootLoaderModel& model, int masterFd, ServerTiming timing, std::string dumpFile,
                std::ostream& out);

    // Blocks, serving the line, until a signal that is blocked outside the
    // wait arrives (waitMask is the mask to wait with), the model hangs up
    // (after its last answer has been sent) or the line fails.
    End Run(const sigset_t& waitMask, const volatile sig_atomic_t& signalled);

    // Writes the dump now if one was asked for; false with a message if the
    // file cannot be written.
    bool WriteDump();

    // For boards that come one after another: Run also ends (RunDone) once
    // a run has written to the board and is over, and the board has then
    // stayed stayMs, still answering. A run is over when the line has been
    // quiet for kDumpQuietMs after it, or a new search has begun.
    void EndAfterRun(std::int64_t stayMs) { stayMs_ = stayMs; }

    // Reads and drops what the updater sends for ms (a board that is not
    // there); Signal when a stop signal came meanwhile, else RunDone.
    End IgnoreLine(std::int64_t ms, const sigset_t& waitMask,
                   const volatile sig_atomic_t& signalled);

private:
    using Clock = std::chrono::steady_clock;
    struct Timed {
        std::int64_t dueNs;
        std::uint8_t byte;
    };

    std::int64_t NowNs() const;
    bool ReadLine(std::int64_t nowNs);
    void FeedDueBytes(std::int64_t nowNs);
    void SendPlannedBursts(std::int64_t nowNs);
    bool WriteDueBytes(std::int64_t nowNs);
    std::size_t ReleasableBytes(std::int64_t nowNs) const;
    std::int64_t NextWakeNs(bool withOutgoing) const;  // -1: nothing scheduled
    bool RunOver(std::int64_t nowNs);                  // notes the end of a written run once

    BootLoaderModel& model_;
    int master_;
    ServerTiming timing_;
    std::string dumpFile_;
    std::ostream& out_;
    Clock::time_point epoch_;
    std::int64_t byteNs_;
    std::int64_t latencyNs_;

    std::deque<Timed> incoming_;
    std::deque<Timed> outgoing_;
    std::int64_t incomingFreeNs_ = 0;  // when the wire to the board is free
    std::int64_t outgoingFreeNs_ = 0;
    std::int64_t lastInputNs_ = 0;
    std::uint64_t dumpedWrites_ = 0;
    int sessionsShown_ = 0;
    std::int64_t stayMs_ = -1;  // -1: serve until a signal
    int writtenSession_ = 0;    // the session that last wrote to the board
    std::uint64_t writesSeen_ = 0;
    std::int64_t runOverNs_ = -1;  // when the written run was over; -1 not yet
};

}  // namespace vorlan::board
