// The notifier's socket calls (the only socket code of the program).
#include "ports/status_notifier.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <memory>
#include <stdexcept>

#include "app/status_reporting.h"

namespace vorlan {

namespace {

constexpr int kReceiveBufferBytes = 65536;

std::string SystemText(int error) {
    return std::strerror(error);
}

void CloseIfOpen(int& fd) {
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

std::unique_ptr<UdpStatusNotifier>& Running() {
    static std::unique_ptr<UdpStatusNotifier> notifier;
    return notifier;
}

bool AsksForNotifier(const std::string& argument) {
    const std::string wanted = "\\P";
    if (argument.size() != wanted.size())
        return false;
    for (std::size_t i = 0; i < wanted.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(argument[i])) != wanted[i])
            return false;
    }
    return true;
}

}  // namespace

UdpStatusNotifier::UdpStatusNotifier(std::uint16_t localPort, std::uint16_t destinationPort)
    : destinationPort_(destinationPort) {
    socket_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (socket_ < 0)
        throw std::runtime_error("Could not create socket: " + SystemText(errno));
    int size = kReceiveBufferBytes;
    ::setsockopt(socket_, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);  // a wish, not a need

    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    local.sin_port = htons(localPort);
    if (::bind(socket_, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        const int error = errno;
        CloseIfOpen(socket_);
        if (error == EADDRINUSE)
            throw std::runtime_error(kNotifierPortInUse);
        throw std::runtime_error("Could not bind socket to port " + std::to_string(localPort) +
                                 ": " + SystemText(error));
    }
    socklen_t length = sizeof local;
    ::getsockname(socket_, reinterpret_cast<sockaddr*>(&local), &length);
    localPort_ = ntohs(local.sin_port);

    int wake[2];
    if (::pipe2(wake, O_CLOEXEC) != 0) {
        const int error = errno;
        CloseIfOpen(socket_);
        throw std::runtime_error("Could not start the notifier: " + SystemText(error));
    }
    wakeRead_ = wake[0];
    wakeWrite_ = wake[1];
    receiver_ = std::thread([this] { Receive(); });
}

UdpStatusNotifier::~UdpStatusNotifier() {
    const char stop = 1;
    [[maybe_unused]] ssize_t n = ::write(wakeWrite_, &stop, 1);
    if (receiver_.joinable())
        receiver_.join();
    CloseIfOpen(wakeRead_);
    CloseIfOpen(wakeWrite_);
    CloseIfOpen(socket_);
}

void UdpStatusNotifier::SendStatusRecord(std::uint8_t code) {
    const std::array<std::uint32_t, 3> fields = {htonl(4), htonl(0), htonl(code)};
    sockaddr_in destination{};
    destination.sin_family = AF_INET;
    destination.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    destination.sin_port = htons(destinationPort_);
    ::sendto(socket_, fields.data(), sizeof fields, MSG_NOSIGNAL,
             reinterpret_cast<const sockaddr*>(&destination), sizeof destination);
}

void UdpStatusNotifier::Receive() {
    std::vector<std::uint8_t> buffer(kReceiveBufferBytes);
    for (;;) {
        pollfd watch[2] = {{socket_, POLLIN, 0}, {wakeRead_, POLLIN, 0}};
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
        ssize_t n = ::recv(socket_, buffer.data(), buffer.size(), MSG_DONTWAIT);
        if (n >= 0) {
            ++ignored_;
        } else if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR &&
                   errno != ECONNREFUSED) {
            return;  // the socket is broken; records are still sent
        }
    }
}

void StartStatusNotifier(const std::vector<std::string>& commandLine, std::uint16_t localPort,
                         std::uint16_t destinationPort) {
    if (commandLine.size() < 2 || !AsksForNotifier(commandLine[1]))
        return;
    // In Upgrade mode both main windows ask; the port can be held only once.
    if (Running()) {
        if (StatusNotifier() == nullptr)
            RegisterStatusNotifier(Running().get());
        return;
    }
    Running() = std::make_unique<UdpStatusNotifier>(localPort, destinationPort);
    RegisterStatusNotifier(Running().get());
}

void StartStatusNotifier(int argc, const char* const* argv) {
    std::vector<std::string> commandLine;
    for (int i = 0; i < argc && argv != nullptr && argv[i] != nullptr; ++i) {
        commandLine.emplace_back(argv[i]);
    }
    StartStatusNotifier(commandLine);
}

UdpStatusNotifier* RunningStatusNotifier() {
    return Running().get();
}

void StopStatusNotifier() {
    if (!Running())
        return;
    if (StatusNotifier() == Running().get())
        RegisterStatusNotifier(nullptr);
    Running().reset();
}

}  // namespace vorlan
