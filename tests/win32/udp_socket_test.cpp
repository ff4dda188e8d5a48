// The notifier's socket on Winsock: datagrams wake the receiving thread, a
// stop ends it (also one that comes first), and a taken port says so.
#include "platform/udp_socket.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace vorlan {
namespace {

using namespace std::chrono_literals;

TEST(Win32UdpSocket, DatagramsWakeTheReceiverUntilItIsStopped) {
    UdpSocket receiver;
    UdpSocket sender;
    std::string message;
    ASSERT_EQ(receiver.Open(0, message), UdpOpenResult::kOk) << message;
    ASSERT_EQ(sender.Open(0, message), UdpOpenResult::kOk) << message;
    ASSERT_NE(receiver.LocalPort(), 0);

    std::mutex mutex;
    std::condition_variable arrived;
    int count = 0;
    std::thread thread([&] {
        receiver.ReceiveUntilStopped([&] {
            std::lock_guard<std::mutex> lock(mutex);
            ++count;
            arrived.notify_all();
        });
    });
    const std::uint8_t record[12] = {0, 0, 0, 4};
    for (int i = 0; i < 3; ++i) sender.SendToLoopback(receiver.LocalPort(), record, sizeof record);
    {
        std::unique_lock<std::mutex> lock(mutex);
        EXPECT_TRUE(arrived.wait_for(lock, 5s, [&] { return count == 3; })) << count;
    }
    receiver.StopReceiving();
    thread.join();
}

TEST(Win32UdpSocket, AStopBeforeTheReceiverStartsEndsItAtOnce) {
    UdpSocket socket;
    std::string message;
    ASSERT_EQ(socket.Open(0, message), UdpOpenResult::kOk) << message;
    socket.StopReceiving();
    socket.ReceiveUntilStopped([] { ADD_FAILURE() << "no datagram was sent"; });
}

TEST(Win32UdpSocket, ATakenPortIsInUse) {
    UdpSocket holder;
    UdpSocket second;
    std::string message;
    ASSERT_EQ(holder.Open(0, message), UdpOpenResult::kOk) << message;
    EXPECT_EQ(second.Open(holder.LocalPort(), message), UdpOpenResult::kAddressInUse);
    EXPECT_FALSE(message.empty());
}

}  // namespace
}  // namespace vorlan
