#include "platform/udp_socket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace vorlan {

namespace {

constexpr int kReceiveBufferBytes = 65536;

void CloseIfOpen(int& fd) {
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

}  // namespace

struct UdpSocket::Handles {
    int socket = -1;
    int wakeRead = -1;  // a byte here ends the receiving loop
    int wakeWrite = -1;
    std::uint16_t localPort = 0;
};

UdpSocket::UdpSocket() : handles_(std::make_unique<Handles>()) {}

UdpSocket::~UdpSocket() {
    CloseIfOpen(handles_->wakeRead);
    CloseIfOpen(handles_->wakeWrite);
    CloseIfOpen(handles_->socket);
}

UdpOpenResult UdpSocket::Open(std::uint16_t localPort, std::string& message) {
    Handles& h = *handles_;
    h.socket = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (h.socket < 0) {
        message = std::strerror(errno);
        return UdpOpenResult::kFailed;
    }
    int size = kReceiveBufferBytes;
    ::setsockopt(h.socket, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);  // a wish, not a need

    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    local.sin_port = htons(localPort);
    if (::bind(h.socket, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        const int error = errno;
        CloseIfOpen(h.socket);
        message = std::strerror(error);
        return error == EADDRINUSE ? UdpOpenResult::kAddressInUse : UdpOpenResult::kFailed;
    }
    socklen_t length = sizeof local;
    ::getsockname(h.socket, reinterpret_cast<sockaddr*>(&local), &length);
    h.localPort = ntohs(local.sin_port);

    int wake[2];
    if (::pipe2(wake, O_CLOEXEC) != 0) {
        message = std::strerror(errno);
        CloseIfOpen(h.socket);
        return UdpOpenResult::kFailed;
    }
    h.wakeRead = wake[0];
    h.wakeWrite = wake[1];
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
    ::sendto(handles_->socket, bytes, count, MSG_NOSIGNAL,
             reinterpret_cast<const sockaddr*>(&destination), sizeof destination);
}

void UdpSocket::ReceiveUntilStopped(const std::function<void()>& onDatagram) {
    const Handles& h = *handles_;
    std::vector<std::uint8_t> buffer(kReceiveBufferBytes);
    for (;;) {
        pollfd watch[2] = {{h.socket, POLLIN, 0}, {h.wakeRead, POLLIN, 0}};
        if (::poll(watch, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (watch[1].revents != 0)
            return;
        if ((watch[0].revents & (POLLERR | POLLNVAL)) != 0 && (watch[0].revents & POLLIN) == 0) {
            return;
        }
        ssize_t n = ::recv(h.socket, buffer.data(), buffer.size(), MSG_DONTWAIT);
        if (n >= 0) {
            onDatagram();
        } else if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR &&
                   errno != ECONNREFUSED) {
            return;  // the socket is broken; records are still sent
        }
    }
}

void UdpSocket::StopReceiving() {
    const char stop = 1;
    if (handles_->wakeWrite >= 0) [[maybe_unused]]
        ssize_t n = ::write(handles_->wakeWrite, &stop, 1);
}

}  // namespace vorlan
