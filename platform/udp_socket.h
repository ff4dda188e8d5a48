// A UDP socket bound to a local port, for the loopback status notifier.
//
// Threads: one thread may sit in ReceiveUntilStopped while another sends and
// finally calls StopReceiving; everything else happens before or after.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace vorlan {

enum class UdpOpenResult { kOk, kAddressInUse, kFailed };

class UdpSocket {
public:
    UdpSocket();
    ~UdpSocket();  // stops nothing: end a receiving thread first
    UdpSocket(const UdpSocket&) = delete;
    UdpSocket& operator=(const UdpSocket&) = delete;

    // Makes the socket and binds localPort on every local address (0: any
    // free port). On failure message holds the OS text.
    UdpOpenResult Open(std::uint16_t localPort, std::string& message);
    // The bound port, 0 before a successful Open.
    std::uint16_t LocalPort() const;
    // One datagram to 127.0.0.1:port; never waits, a lost datagram is not
    // reported.
    void SendToLoopback(std::uint16_t port, const std::uint8_t* bytes, std::size_t count);
    // Blocks reading datagrams and calls onDatagram for each, until
    // StopReceiving is called or the socket breaks.
    void ReceiveUntilStopped(const std::function<void()>& onDatagram);
    // Ends ReceiveUntilStopped (now or, if it has not started yet, at once when
    // it does). Safe from any thread.
    void StopReceiving();

private:
    struct Handles;
    std::unique_ptr<Handles> handles_;
};

}  // namespace vorlan
