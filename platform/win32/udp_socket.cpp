// The notifier's socket on Winsock. The receiving thread waits on two events:
// the socket's (a datagram arrived) and a stop event beside it.
#include "platform/udp_socket.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <mutex>
#include <vector>

#include "platform/win32/system_error.h"

namespace vorlan {

namespace {

constexpr int kReceiveBufferBytes = 65536;

// Winsock is started once for the process and left running to its end.
bool StartWinsock(std::string& message) {
    static std::once_flag once;
    static int started = -1;
    std::call_once(once, [] {
        WSADATA data{};
        started = WSAStartup(MAKEWORD(2, 2), &data);
    });
    if (started != 0) {
        message = SystemMessage(static_cast<DWORD>(started));
        return false;
    }
    return true;
}

}  // namespace

struct UdpSocket::Handles {
    SOCKET socket = INVALID_SOCKET;
    WSAEVENT readable = WSA_INVALID_EVENT;  // set by Winsock when data waits
    HANDLE stop = nullptr;                  // manual reset: once set, stays set
    std::uint16_t localPort = 0;
};

UdpSocket::UdpSocket() : handles_(std::make_unique<Handles>()) {}

UdpSocket::~UdpSocket() {
    Handles& h = *handles_;
    if (h.socket != INVALID_SOCKET)
        closesocket(h.socket);
    if (h.readable != WSA_INVALID_EVENT)
        WSACloseEvent(h.readable);
    if (h.stop != nullptr)
        CloseHandle(h.stop);
}

UdpOpenResult UdpSocket::Open(std::uint16_t localPort, std::string& message) {
    if (!StartWinsock(message))
        return UdpOpenResult::kFailed;
    Handles& h = *handles_;
    h.socket = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (h.socket == INVALID_SOCKET) {
        message = SystemMessage(static_cast<DWORD>(WSAGetLastError()));
        return UdpOpenResult::kFailed;
    }
    // Without this, a port that another program also bound with
    // SO_REUSEADDR could be taken from under us.
    BOOL exclusive = TRUE;
    setsockopt(h.socket, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&exclusive),
               sizeof exclusive);
    int size = kReceiveBufferBytes;
    setsockopt(h.socket, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&size),
               sizeof size);  // a wish, not a need

    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    local.sin_port = htons(localPort);
    if (bind(h.socket, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        const int error = WSAGetLastError();
        closesocket(h.socket);
        h.socket = INVALID_SOCKET;
        message = SystemMessage(static_cast<DWORD>(error));
        return error == WSAEADDRINUSE || error == WSAEACCES ? UdpOpenResult::kAddressInUse
                                                            : UdpOpenResult::kFailed;
    }
    int length = sizeof local;
    getsockname(h.socket, reinterpret_cast<sockaddr*>(&local), &length);
    h.localPort = ntohs(local.sin_port);

    h.readable = WSACreateEvent();
    h.stop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    // Also makes the socket non-blocking, so the receiving loop reads until
    // the queue is empty and a send never waits.
    if (h.readable == WSA_INVALID_EVENT || h.stop == nullptr ||
        WSAEventSelect(h.socket, h.readable, FD_READ) != 0) {
        message = SystemMessage(GetLastError());
        closesocket(h.socket);
        h.socket = INVALID_SOCKET;
        return UdpOpenResult::kFailed;
    }
    return UdpOpenResult::kOk;
}

std::uint16_t UdpSocket::LocalPort() const {
    return handles_->localPort;
}

void UdpSocket::SendToLoopback(std::uint16_t port, const std::uint8_t* bytes, std::size_t count) {
    sockaddr_in destination{};
    destination.sin_family = AF_INET;
    destination.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    destination.sin_port = htons(port);
    sendto(handles_->socket, reinterpret_cast<const char*>(bytes), static_cast<int>(count), 0,
           reinterpret_cast<const sockaddr*>(&destination), sizeof destination);
}

void UdpSocket::ReceiveUntilStopped(const std::function<void()>& onDatagram) {
    const Handles& h = *handles_;
    if (h.socket == INVALID_SOCKET)
        return;
    std::vector<char> buffer(kReceiveBufferBytes);
    const HANDLE events[2] = {h.stop, h.readable};
    for (;;) {
        const DWORD woken = WaitForMultipleObjects(2, events, FALSE, INFINITE);
        if (woken != WAIT_OBJECT_0 + 1)
            return;  // stopped, or the wait itself failed
        WSAResetEvent(h.readable);
        for (;;) {
            if (recv(h.socket, buffer.data(), static_cast<int>(buffer.size()), 0) >= 0) {
                onDatagram();
                continue;
            }
            const int error = WSAGetLastError();
            if (error == WSAEWOULDBLOCK)
                break;
            // A datagram too long for the buffer still arrived; an earlier
            // send that found no listener is reported on a later receive.
            if (error == WSAEMSGSIZE) {
                onDatagram();
                continue;
            }
            if (error == WSAECONNRESET || error == WSAEINTR)
                continue;
            return;  // the socket is broken; records are still sent
        }
    }
}

void UdpSocket::StopReceiving() {
    if (handles_->stop != nullptr)
        SetEvent(handles_->stop);
}

}  // namespace vorlan
