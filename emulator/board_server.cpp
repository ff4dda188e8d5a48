#include "emulator/board_server.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <ostream>

namespace vorlan::board {
namespace {

constexpr std::int64_t kNsPerMs = 1'000'000;
constexpr std::int64_t kBitsPerByte = 11;  // start bit, 8 data bits, 2 stop bits
constexpr std::int64_t kBaud = 115'200;
constexpr std::size_t kLogLimit = 4096;  // the server reads only the latest entry
constexpr std::int64_t kLineTroubleWaitMs = 50;
constexpr std::size_t kOutgoingLimit = 65536;

timespec Span(std::int64_t ns) {
    ns = std::max<std::int64_t>(ns, 0);
    return timespec{static_cast<time_t>(ns / 1'000'000'000), static_cast<long>(ns % 1'000'000'000)};
}

}  // namespace

BoardServer::BoardServer(BootLoaderModel& model, int masterFd, ServerTiming timing,
                         std::string dumpFile, std::ostream& out)
    : model_(model),
      master_(masterFd),
      timing_(timing),
      dumpFile_(std::move(dumpFile)),
      out_(out),
      epoch_(Clock::now()),
      byteNs_(timing.lineRate ? kBitsPerByte * 1'000'000'000 / kBaud : 0),
      latencyNs_(static_cast<std::int64_t>(timing.latencyMs) * kNsPerMs) {}

std::int64_t BoardServer::NowNs() const {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - epoch_).count();
}

BoardServer::End BoardServer::Run(const sigset_t& waitMask,
                                  const volatile sig_atomic_t& signalled) {
    bool writeBlocked = false;
    for (;;) {
        if (signalled != 0)
            return End::Signal;
        const std::int64_t now = NowNs();
        FeedDueBytes(now);
        SendPlannedBursts(now);
        if (!WriteDueBytes(now)) {
            if (errno != EAGAIN)
                return End::LineError;
            writeBlocked = true;  // nobody reads the slave: wait for room
        } else {
            writeBlocked = false;
        }
        if (model_.HungUp() && outgoing_.empty())
            return End::HangUp;
        if (stayMs_ >= 0 && RunOver(now) && now >= runOverNs_ + stayMs_ * kNsPerMs)
            return End::RunDone;
        const bool dumpPending = !dumpFile_.empty() && model_.WriteCount() != dumpedWrites_;
        if (dumpPending && incoming_.empty() && now - lastInputNs_ >= kDumpQuietMs * kNsPerMs) {
            if (!WriteDump())
                dumpedWrites_ = model_.WriteCount();  // said once, not every pass
        }

        pollfd line{master_, static_cast<short>(POLLIN | (writeBlocked ? POLLOUT : 0)), 0};
        std::int64_t wake = NextWakeNs(!writeBlocked);
        if (!dumpFile_.empty() && model_.WriteCount() != dumpedWrites_) {
            const std::int64_t dumpAt = lastInputNs_ + kDumpQuietMs * kNsPerMs;
            wake = wake < 0 ? dumpAt : std::min(wake, dumpAt);
        }
        if (stayMs_ >= 0 && model_.WriteCount() != 0) {
            const std::int64_t doneAt = runOverNs_ >= 0 ? runOverNs_ + stayMs_ * kNsPerMs
                                                        : lastInputNs_ + kDumpQuietMs * kNsPerMs;
            wake = wake < 0 ? doneAt : std::min(wake, doneAt);
        }
        const timespec timeout = Span(wake - NowNs());
        const int ready = ppoll(&line, 1, wake < 0 ? nullptr : &timeout, &waitMask);
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            out_ << "vorlan-board: waiting on the line failed: " << std::strerror(errno)
                 << std::endl;
            return End::LineError;
        }
        if ((line.revents & POLLIN) != 0) {
            if (!ReadLine(NowNs())) {
                // The slave end is held open by us, so this is not the
                // updater closing; do not spin on it.
                const timespec pause = Span(kLineTroubleWaitMs * kNsPerMs);
                ppoll(nullptr, 0, &pause, &waitMask);
            }
        } else if ((line.revents & (POLLHUP | POLLERR)) != 0) {
            const timespec pause = Span(kLineTroubleWaitMs * kNsPerMs);
            ppoll(nullptr, 0, &pause, &waitMask);
        }
    }
}

// Takes everything the updater has written; each byte is due when its last
// bit would have crossed the wire.
bool BoardServer::ReadLine(std::int64_t nowNs) {
    std::uint8_t buffer[4096];
    for (;;) {
        const ssize_t n = read(master_, buffer, sizeof buffer);
        if (n > 0) {
            for (ssize_t i = 0; i < n; ++i) {
                incomingFreeNs_ = std::max(incomingFreeNs_, nowNs) + byteNs_;
                incoming_.push_back({incomingFreeNs_, buffer[i]});
            }
            lastInputNs_ = incomingFreeNs_;
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EINTR))
            return true;
        return false;  // 0 or EIO: no slave open
    }
}

void BoardServer::FeedDueBytes(std::int64_t nowNs) {
    while (!incoming_.empty() && incoming_.front().dueNs <= nowNs) {
        const Timed next = incoming_.front();
        incoming_.pop_front();
        const Bytes answer =
            model_.Receive(&next.byte, 1, static_cast<std::uint64_t>(next.dueNs / kNsPerMs));
        if (model_.WriteCount() != writesSeen_) {
            writesSeen_ = model_.WriteCount();
            writtenSession_ = model_.Sessions();
        }
        if (model_.Sessions() > sessionsShown_) {
            sessionsShown_ = model_.Sessions();
            out_ << "vorlan-board: run " << sessionsShown_ << ": search byte answered" << std::endl;
        }
        if (!answer.empty()) {
            std::int64_t readyNs = next.dueNs;
            const auto& log = model_.Log();
            if (!log.empty() && log.back().kind == FrameKind::ProgramBlock && log.back().stored) {
                readyNs += static_cast<std::int64_t>(timing_.writeMs) * kNsPerMs;
            }
            for (const std::uint8_t byte : answer) {
                outgoingFreeNs_ = std::max(outgoingFreeNs_, readyNs) + byteNs_;
                outgoing_.push_back({outgoingFreeNs_, byte});
            }
        }
        if (model_.HungUp()) {
            const auto& log = model_.Log();
            out_ << "vorlan-board: dropping the line after frame "
                 << (log.empty() ? -1 : log.back().number) << std::endl;
            incoming_.clear();
            return;
        }
        if (model_.Log().size() > kLogLimit)
            model_.ClearLog();
    }
}

// Bytes that have crossed the wire and, with an adapter, have been passed on.
std::size_t BoardServer::ReleasableBytes(std::int64_t nowNs) const {
    std::size_t due = 0;
    while (due < outgoing_.size() && outgoing_[due].dueNs <= nowNs) ++due;
    if (latencyNs_ == 0 || due >= kAdapterPacketBytes)
        return due;
    return due > 0 && nowNs >= outgoing_.front().dueNs + latencyNs_ ? due : 0;
}

// What the model sends on its own (slow answers, noise, a fault's extra
// bytes) joins the line when due. Nobody reading the line must not make the
// queue grow without end: past kOutgoingLimit the bursts are dropped.
void BoardServer::SendPlannedBursts(std::int64_t nowNs) {
    for (TimedBurst& burst : model_.TakeDue(static_cast<std::uint64_t>(nowNs / kNsPerMs))) {
        if (outgoing_.size() > kOutgoingLimit)
            continue;
        const std::int64_t readyNs = static_cast<std::int64_t>(burst.atMs) * kNsPerMs;
        for (const std::uint8_t byte : burst.bytes) {
            outgoingFreeNs_ = std::max(outgoingFreeNs_, readyNs) + byteNs_;
            outgoing_.push_back({outgoingFreeNs_, byte});
        }
    }
}

// False with errno set when the line refused the bytes.
bool BoardServer::WriteDueBytes(std::int64_t nowNs) {
    std::uint8_t buffer[4096];
    const std::size_t n = std::min(ReleasableBytes(nowNs), sizeof buffer);
    if (n == 0)
        return true;
    for (std::size_t i = 0; i < n; ++i) buffer[i] = outgoing_[i].byte;
    const ssize_t written = write(master_, buffer, n);
    if (written < 0)
        return errno == EINTR;
    outgoing_.erase(outgoing_.begin(), outgoing_.begin() + written);
    if (static_cast<std::size_t>(written) < n) {
        errno = EAGAIN;
        return false;
    }
    return true;
}

std::int64_t BoardServer::NextWakeNs(bool withOutgoing) const {
    std::int64_t wake = -1;
    // The updater writes a frame and waits for its answer, which follows the
    // frame's last byte: waking for that byte alone (not for each one) keeps
    // every answer's time and costs a wake-up a frame instead of one every
    // 95 us, so many emulators at the line rate fit on a small machine.
    if (!incoming_.empty())
        wake = incoming_.back().dueNs;
    if (withOutgoing && !outgoing_.empty()) {
        std::int64_t release = outgoing_.front().dueNs;
        if (latencyNs_ > 0) {
            release += latencyNs_;
            if (outgoing_.size() >= kAdapterPacketBytes)
                release = std::min(release, outgoing_[kAdapterPacketBytes - 1].dueNs);
        }
        wake = wake < 0 ? release : std::min(wake, release);
    }
    if (const auto planned = model_.NextDueMs()) {
        const std::int64_t plannedNs = static_cast<std::int64_t>(*planned) * kNsPerMs;
        wake = wake < 0 ? plannedNs : std::min(wake, plannedNs);
    }
    return wake;
}

bool BoardServer::RunOver(std::int64_t nowNs) {
    if (runOverNs_ >= 0)
        return true;
    if (model_.WriteCount() == 0)
        return false;
    const bool quiet = incoming_.empty() && nowNs - lastInputNs_ >= kDumpQuietMs * kNsPerMs;
    if (quiet || model_.Sessions() > writtenSession_) {
        runOverNs_ = nowNs;
        WriteDump();
        out_ << "vorlan-board: run over; the board stays " << stayMs_ << " ms" << std::endl;
    }
    return runOverNs_ >= 0;
}

BoardServer::End BoardServer::IgnoreLine(std::int64_t ms, const sigset_t& waitMask,
                                         const volatile sig_atomic_t& signalled) {
    const std::int64_t end = NowNs() + ms * kNsPerMs;
    for (std::int64_t now; (now = NowNs()) < end;) {
        if (signalled != 0)
            return End::Signal;
        pollfd line{master_, POLLIN, 0};
        const timespec timeout = Span(end - now);
        if (ppoll(&line, 1, &timeout, &waitMask) > 0) {
            std::uint8_t buffer[4096];
            if (read(master_, buffer, sizeof buffer) <= 0) {
                const timespec pause = Span(kLineTroubleWaitMs * kNsPerMs);
                ppoll(nullptr, 0, &pause, &waitMask);
            }
        }
    }
    return signalled != 0 ? End::Signal : End::RunDone;
}

bool BoardServer::WriteDump() {
    if (dumpFile_.empty())
        return true;
    const std::string temporary = dumpFile_ + ".tmp";
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        file << model_.IntelHex();
        file.close();
        if (!file) {
            out_ << "vorlan-board: cannot write " << temporary << std::endl;
            return false;
        }
    }
    if (std::rename(temporary.c_str(), dumpFile_.c_str()) != 0) {
        out_ << "vorlan-board: cannot write " << dumpFile_ << ": " << std::strerror(errno)
             << std::endl;
        return false;
    }
    dumpedWrites_ = model_.WriteCount();
    out_ << "vorlan-board: memory written to " << dumpFile_ << std::endl;
    return true;
}

}  // namespace vorlan::board
