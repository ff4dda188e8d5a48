// Loopback status notifier: tells a supervising program on this machine the
// result of each update, one 12-byte UDP datagram per final result, sent from
// local port 3004 to 127.0.0.1 port 3000. Started only by the command-line
// argument "\P" (any letter case).
//
// The record, three unsigned 32-bit fields, most significant byte first:
//
//   offset 0   00 00 00 04   always 4
//   offset 4   00 00 00 00   always 0
//   offset 8   00 00 00 cc   the result code: 1 success, 0 failure
//
// Threads: the UI thread creates the notifier and sends every record; the
// notifier's own thread reads and discards whatever arrives on its port.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "engine/views.h"
#include "platform/udp_socket.h"

namespace vorlan {

inline constexpr std::uint16_t kNotifierLocalPort = 3004;
inline constexpr std::uint16_t kNotifierDestinationPort = 3000;

// The message of the error a taken local port raises.
inline constexpr const char* kNotifierPortInUse =
    "Could not bind socket. Address and port are already in use.";

class UdpStatusNotifier final : public StatusRecordSink {
public:
    // Binds the local port on every local address (0: any free port) and
    // starts the receiving thread. Throws std::runtime_error when the socket
    // cannot be made or bound (kNotifierPortInUse for a port in use).
    explicit UdpStatusNotifier(std::uint16_t localPort = kNotifierLocalPort,
                               std::uint16_t destinationPort = kNotifierDestinationPort);
    // Stops the receiving thread (never waits for a datagram) and closes the
    // socket.
    ~UdpStatusNotifier() override;
    UdpStatusNotifier(const UdpStatusNotifier&) = delete;
    UdpStatusNotifier& operator=(const UdpStatusNotifier&) = delete;

    // Sends one record from the bound socket; never waits for an answer, a
    // lost datagram is not reported.
    void SendStatusRecord(std::uint8_t code) override;

    std::uint16_t LocalPort() const { return socket_.LocalPort(); }
    // Datagrams read and discarded so far.
    std::uint64_t IgnoredDatagrams() const { return ignored_.load(); }

private:
    UdpSocket socket_;
    std::uint16_t destinationPort_ = 0;
    std::atomic<std::uint64_t> ignored_{0};
    std::thread receiver_;
};

// Starts the notifier when commandLine (program name first, then the
// arguments, as main and QCoreApplication give them) has "\P" as its first
// argument, compared without regard to letter case; registers it with the
// status operations. A second request while one runs starts nothing (it
// only registers the running one again if the status operations were reset
// since). Throws what
// the notifier's constructor throws. The ports are parameters for tests only.
void StartStatusNotifier(const std::vector<std::string>& commandLine,
                         std::uint16_t localPort = kNotifierLocalPort,
                         std::uint16_t destinationPort = kNotifierDestinationPort);
void StartStatusNotifier(int argc, const char* const* argv);
// The same whatever the command line says (vorlan-flash --notify).
void EnsureStatusNotifier(std::uint16_t localPort = kNotifierLocalPort,
                          std::uint16_t destinationPort = kNotifierDestinationPort);
// The running notifier, or null.
UdpStatusNotifier* RunningStatusNotifier();
// Unregisters and ends the running notifier, if any (program end, tests).
void StopStatusNotifier();

}  // namespace vorlan
