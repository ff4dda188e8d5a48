// The loopback notifier, on free ports so tests can run side by side.
#include "ports/status_notifier.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

#include "engine/status_reporting.h"

namespace vorlan {
namespace {

// A UDP socket on 127.0.0.1 and a free port, standing in for the supervising
// program (or for whoever else holds a port).
class LoopbackSocket {
public:
    LoopbackSocket() {
        fd_ = socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        socklen_t length = sizeof address;
        getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
    }
    ~LoopbackSocket() { close(fd_); }
    std::uint16_t Port() const { return port_; }

    // One datagram within two seconds, with its source port; empty if none.
    std::vector<std::uint8_t> Receive(std::uint16_t* sourcePort = nullptr, int waitMs = 2000) {
        pollfd p{fd_, POLLIN, 0};
        if (poll(&p, 1, waitMs) <= 0)
            return {};
        std::vector<std::uint8_t> bytes(100);
        sockaddr_in source{};
        socklen_t length = sizeof source;
        ssize_t n = recvfrom(fd_, bytes.data(), bytes.size(), 0,
                             reinterpret_cast<sockaddr*>(&source), &length);
        bytes.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
        if (sourcePort != nullptr)
            *sourcePort = ntohs(source.sin_port);
        return bytes;
    }
    void SendTo(std::uint16_t port, const std::vector<std::uint8_t>& bytes) {
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        to.sin_port = htons(port);
        sendto(fd_, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
    }

private:
    int fd_ = -1;
    std::uint16_t port_ = 0;
};

class StatusNotifierTest : public ::testing::Test {
protected:
    void SetUp() override { ResetStatusReporting(); }
    void TearDown() override {
        StopStatusNotifier();
        ResetStatusReporting();
    }
    LoopbackSocket supervisor;
};

TEST_F(StatusNotifierTest, ReportResultSendsOneRecordFromTheLocalPort) {
    StartStatusNotifier({"vorlan", "\\p"}, 0, supervisor.Port());
    ASSERT_NE(RunningStatusNotifier(), nullptr);
    ReportResult(" Program Ok ", kColourGreen, 1);
    std::uint16_t source = 0;
    EXPECT_EQ(supervisor.Receive(&source),
              (std::vector<std::uint8_t>{0, 0, 0, 4, 0, 0, 0, 0, 0, 0, 0, 1}));
    EXPECT_EQ(source, RunningStatusNotifier()->LocalPort());
    ReportResult(" not Response ", kColourRed, 0x100);  // only the low byte travels
    EXPECT_EQ(supervisor.Receive(),
              (std::vector<std::uint8_t>{0, 0, 0, 4, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(StatusNotifierTest, OnlyAFirstArgumentOfBackslashPStartsIt) {
    struct Row {
        std::vector<std::string> commandLine;
        bool starts;
    };
    const Row rows[] = {
        {{"vorlan", "\\P"}, true},
        {{"vorlan", "\\p"}, true},
        {{"vorlan", "\\P", "x"}, true},
        {{"vorlan"}, false},
        {{"vorlan", "/P"}, false},
        {{"vorlan", "-P"}, false},
        {{"vorlan", "\\PX"}, false},
        {{"vorlan", "\\"}, false},
        {{"vorlan", ""}, false},
        {{"vorlan", "x", "\\P"}, false},
        {{}, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.commandLine.size() > 1 ? row.commandLine[1] : "(none)");
        StartStatusNotifier(row.commandLine, 0, supervisor.Port());
        EXPECT_EQ(RunningStatusNotifier() != nullptr, row.starts);
        EXPECT_EQ(StatusNotifier(), RunningStatusNotifier());
        StopStatusNotifier();
    }
    // From main's argv (program name first).
    const char* slash[] = {"vorlan", "/P", nullptr};
    StartStatusNotifier(2, slash);
    EXPECT_EQ(RunningStatusNotifier(), nullptr);
}

TEST_F(StatusNotifierTest, ASecondRequestKeepsTheFirstNotifier) {
    StartStatusNotifier({"vorlan", "\\P"}, 0, supervisor.Port());
    UdpStatusNotifier* first = RunningStatusNotifier();
    ASSERT_NE(first, nullptr);
    // Even asking for the very port it holds: nothing new is bound.
    StartStatusNotifier({"vorlan", "\\P"}, first->LocalPort(), supervisor.Port());
    const char* argv[] = {"vorlan", "\\p", nullptr};
    StartStatusNotifier(2, argv);
    EXPECT_EQ(RunningStatusNotifier(), first);
    ResetStatusReporting();  // as start-up may do between the two windows
    StartStatusNotifier({"vorlan", "\\P"}, 0, supervisor.Port());
    EXPECT_EQ(StatusNotifier(), first);
    ReportResult(" User Abort !! ", kColourRed, 0);
    first->SendStatusRecord(7);  // a marker: the next datagram must be this one
    EXPECT_EQ(supervisor.Receive().back(), 0);
    EXPECT_EQ(supervisor.Receive().back(), 7);  // exactly one record before it
}

TEST_F(StatusNotifierTest, ATakenPortStopsTheStartWithItsMessage) {
    LoopbackSocket holder;
    try {
        UdpStatusNotifier notifier(holder.Port(), supervisor.Port());
        FAIL() << "bound a port that is in use";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "Could not bind socket. Address and port are already in use.");
    }
    EXPECT_THROW(StartStatusNotifier({"vorlan", "\\P"}, holder.Port(), supervisor.Port()),
                 std::runtime_error);
    EXPECT_EQ(RunningStatusNotifier(), nullptr);
    EXPECT_EQ(StatusNotifier(), nullptr);
}

TEST_F(StatusNotifierTest, IncomingDatagramsAreReadAndIgnored) {
    UdpStatusNotifier notifier(0, supervisor.Port());
    LoopbackSocket outsider;
    outsider.SendTo(notifier.LocalPort(), std::vector<std::uint8_t>(1000, 0xAA));
    outsider.SendTo(notifier.LocalPort(), {});
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (notifier.IgnoredDatagrams() < 2 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::yield();
    }
    EXPECT_EQ(notifier.IgnoredDatagrams(), 2u);
    notifier.SendStatusRecord(1);
    EXPECT_EQ(supervisor.Receive().size(), 12u);
    EXPECT_TRUE(outsider.Receive(nullptr, 0).empty());  // nothing answered
}

}  // namespace
}  // namespace vorlan
