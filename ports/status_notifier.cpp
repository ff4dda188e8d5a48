#include "ports/status_notifier.h"

#include <array>
#include <cctype>
#include <memory>
#include <stdexcept>

#include "engine/status_reporting.h"

namespace vorlan {

namespace {

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
    std::string message;
    switch (socket_.Open(localPort, message)) {
        case UdpOpenResult::kOk:
            break;
        case UdpOpenResult::kAddressInUse:
            throw std::runtime_error(kNotifierPortInUse);
        case UdpOpenResult::kFailed:
            throw std::runtime_error("Could not bind socket to port " + std::to_string(localPort) +
                                     ": " + message);
    }
    receiver_ = std::thread([this] { socket_.ReceiveUntilStopped([this] { ++ignored_; }); });
}

UdpStatusNotifier::~UdpStatusNotifier() {
    socket_.StopReceiving();
    if (receiver_.joinable())
        receiver_.join();
}

void UdpStatusNotifier::SendStatusRecord(std::uint8_t code) {
    // Three 32-bit fields, most significant byte first: 4, 0, code.
    const std::array<std::uint8_t, 12> record = {0, 0, 0, 4, 0, 0, 0, 0, 0, 0, 0, code};
    socket_.SendToLoopback(destinationPort_, record.data(), record.size());
}

void StartStatusNotifier(const std::vector<std::string>& commandLine, std::uint16_t localPort,
                         std::uint16_t destinationPort) {
    if (commandLine.size() >= 2 && AsksForNotifier(commandLine[1]))
        EnsureStatusNotifier(localPort, destinationPort);
}

void EnsureStatusNotifier(std::uint16_t localPort, std::uint16_t destinationPort) {
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
