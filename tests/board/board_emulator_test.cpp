// vorlan-board as the updater meets it: a COM link in the alias folder, a
// pseudo-terminal that answers, a dump, a dropped line, a clean stop.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/com_naming.h"
#include "tests/board/board_frames.h"

namespace vorlan::board::test {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Reads from fd until `want` bytes arrived, the line hangs up or the time is
// up. hungUp tells which.
Bytes ReadUpTo(int fd, std::size_t want, int timeoutMs, bool* hungUp = nullptr) {
    Bytes got;
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (got.size() < want && Clock::now() < end) {
        pollfd p{fd, POLLIN, 0};
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
        if (poll(&p, 1, static_cast<int>(std::max<long long>(left, 0))) <= 0)
            continue;
        std::uint8_t buffer[512];
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n <= 0) {
            if (n < 0 && errno == EAGAIN)
                continue;
            if (hungUp != nullptr)
                *hungUp = true;
            break;
        }
        got.insert(got.end(), buffer, buffer + n);
    }
    return got;
}

class Emulator : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/vorlan-board-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
        ports_ = folder_ + "/ports";  // created by the emulator
        int probe = posix_openpt(O_RDWR | O_NOCTTY);
        if (probe < 0)
            GTEST_SKIP() << "no pseudo-terminals on this machine";
        close(probe);
    }
    void TearDown() override {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (out_ != nullptr)
            fclose(out_);
        if (slave_ >= 0)
            close(slave_);
        fs::remove_all(folder_);
    }

    // Starts vorlan-board with the arguments; returns its first line.
    std::string Start(std::vector<std::string> args) {
        int pipeFds[2];
        EXPECT_EQ(pipe(pipeFds), 0);
        pid_ = fork();
        if (pid_ == 0) {
            dup2(pipeFds[1], STDOUT_FILENO);
            close(pipeFds[0]);
            setenv("VORLAN_PORT_DIR", ports_.c_str(), 1);
            std::vector<char*> argv{const_cast<char*>(VORLAN_BOARD_PROGRAM)};
            for (auto& a : args) argv.push_back(a.data());
            argv.push_back(nullptr);
            execv(VORLAN_BOARD_PROGRAM, argv.data());
            _exit(127);
        }
        close(pipeFds[1]);
        out_ = fdopen(pipeFds[0], "r");
        char line[256] = {};
        if (fgets(line, sizeof line, out_) == nullptr)
            return {};
        return line;
    }

    // Opens the COM link as the updater would: raw, 115200 8N2.
    bool OpenCom(int com) {
        slave_ = open((ports_ + "/com" + std::to_string(com)).c_str(), O_RDWR | O_NOCTTY);
        if (slave_ < 0)
            return false;
        termios settings{};
        tcgetattr(slave_, &settings);
        cfmakeraw(&settings);
        settings.c_cflag |= CSTOPB | CLOCAL | CREAD;
        cfsetspeed(&settings, B115200);
        return tcsetattr(slave_, TCSANOW, &settings) == 0;
    }

    void Send(const Bytes& bytes) {
        ASSERT_EQ(write(slave_, bytes.data(), bytes.size()), ssize_t(bytes.size()));
    }

    int Stop(int signal) {
        kill(pid_, signal);
        return Wait();
    }
    int Wait() {
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::string folder_;
    std::string ports_;
    pid_t pid_ = -1;
    FILE* out_ = nullptr;
    int slave_ = -1;
};

TEST_F(Emulator, ServesItsComLinkAndAnswersTheSearch) {
    const std::string first =
        Start({"--com", "7", "--bios", "9", "--board", "3", "--prep", "0x84"});
    ASSERT_EQ(first.rfind("vorlan-board: serving COM7 on /dev/", 0), 0u) << first;
    const std::string device =
        first.substr(first.find(" on ") + 4, first.size() - first.find(" on ") - 5);
    EXPECT_EQ(fs::read_symlink(ports_ + "/com7").string(), device);

    ASSERT_TRUE(OpenCom(7));
    Send({0xC5});
    const Bytes answer = ReadUpTo(slave_, 6 + 32, 2000);
    ASSERT_EQ(answer.size(), 38u);
    EXPECT_EQ(Bytes(answer.begin(), answer.begin() + 7), (Bytes{'V', 9, 254, 3, 0x84, 'K', 'R'}));
    Send(BlockFrame(0x80, Pattern(256, 1), 2));
    EXPECT_EQ(ReadUpTo(slave_, 1, 2000), Ack());

    EXPECT_EQ(Stop(SIGTERM), 0);
    EXPECT_FALSE(fs::exists(fs::symlink_status(ports_ + "/com7")));
}

// Without --com the emulator takes a number that hides no device: COM1's
// link would hide /dev/ttyS0 from the updater's port list.
TEST_F(Emulator, TakesTheFirstComNumberThatNeitherALinkNorADeviceUses) {
    fs::create_directories(ports_);
    fs::create_symlink("/nonexistent/tty", ports_ + "/com1");
    int expected = 2;
    while (fs::exists(vorlan::FixedDevicePathOfCom(expected))) ++expected;
    const std::string first = Start({});
    EXPECT_EQ(first.rfind("vorlan-board: serving COM" + std::to_string(expected) + " on ", 0), 0u)
        << first;
}

TEST_F(Emulator, KeepsServingAfterTheUpdaterClosesThePort) {
    Start({"--com", "2", "--short"});
    for (int run = 0; run < 2; ++run) {
        ASSERT_TRUE(OpenCom(2));
        Send({0xC2});
        EXPECT_EQ(ReadUpTo(slave_, 2, 2000), (Bytes{254, 'K'})) << run;
        close(slave_);
        slave_ = -1;
    }
    EXPECT_EQ(Stop(SIGINT), 0);
}

TEST_F(Emulator, DumpsWhatWasWrittenAtExit) {
    const std::string dump = folder_ + "/board.hex";
    Start({"--com", "3", "--chip", "66", "--dump", dump});
    ASSERT_TRUE(OpenCom(3));
    Send({0xC2});
    ReadUpTo(slave_, 6, 2000);
    Send(BlockFrame(0x40, Bytes(64, 0x11), 1));
    Send(EepromFrame(2, 0x5A));
    EXPECT_EQ(ReadUpTo(slave_, 2, 2000), (Bytes{'K', 'K'}));
    EXPECT_EQ(Stop(SIGTERM), 0);

    std::ifstream file(dump);
    std::stringstream text;
    text << file.rdbuf();
    EXPECT_NE(text.str().find(":1000400011111111111111111111111111111111A0"), std::string::npos)
        << text.str();
    EXPECT_NE(text.str().find(":0200000400F00A"), std::string::npos);
}

TEST_F(Emulator, DropsTheLineAfterTheNamedFrame) {
    Start({"--com", "4", "--bios", "4", "--hangup", "0"});
    ASSERT_TRUE(OpenCom(4));
    Send({0xC2});
    EXPECT_EQ(ReadUpTo(slave_, 6, 2000).size(), 6u);
    Send(BlockFrame(0, Pattern(256, 9), 2));
    bool hungUp = false;
    EXPECT_EQ(ReadUpTo(slave_, 2, 3000, &hungUp), Ack());
    EXPECT_TRUE(hungUp);
    EXPECT_EQ(Wait(), 3);
    EXPECT_FALSE(fs::exists(fs::symlink_status(ports_ + "/com4")));
}

TEST_F(Emulator, AnswersAFrameOnlyAfterItsWireTime) {
    Start({"--com", "5", "--bios", "4", "--line-rate"});
    ASSERT_TRUE(OpenCom(5));
    Send({0xC2});
    ReadUpTo(slave_, 6, 2000);
    const auto start = Clock::now();
    Send(BlockFrame(0, Pattern(256, 9), 2));  // 262 bytes: 25 ms on the wire
    EXPECT_EQ(ReadUpTo(slave_, 1, 2000), Ack());
    EXPECT_GE(Clock::now() - start, std::chrono::microseconds(262 * 95 + 95));
}

// As through a USB adapter whose latency timer holds the few bytes of an
// answer back.
TEST_F(Emulator, HoldsAnswersBackForTheAdaptersLatency) {
    Start({"--com", "7", "--bios", "4", "--latency", "40"});
    ASSERT_TRUE(OpenCom(7));
    const auto start = Clock::now();
    Send({0xC2});
    EXPECT_EQ(ReadUpTo(slave_, 6, 2000).size(), 6u);
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(40));
}

TEST_F(Emulator, ReplacesAStaleLinkButNotALiveOne) {
    fs::create_directories(ports_);
    fs::create_symlink("/dev/pts/no-such-terminal", ports_ + "/com6");
    const std::string first = Start({"--com", "6"});
    EXPECT_EQ(first.rfind("vorlan-board: serving COM6", 0), 0u) << first;
    const fs::path ours = fs::read_symlink(ports_ + "/com6");
    EXPECT_TRUE(fs::exists(ours));
    const pid_t owner = pid_;

    // A second emulator may not take the name over.
    pid_ = -1;
    out_ = (fclose(out_), nullptr);
    EXPECT_EQ(Start({"--com", "6"}), "");
    EXPECT_EQ(Wait(), 1);
    EXPECT_EQ(fs::read_symlink(ports_ + "/com6"), ours);
    pid_ = owner;
}

TEST_F(Emulator, RefusesABadCommandLine) {
    for (const char* bad : {"--chip=66", "--refuse", "--stray", "--late"}) {
        Start({bad, "x"});
        EXPECT_EQ(Wait(), 2) << bad;
        fclose(out_);
        out_ = nullptr;
    }
}

}  // namespace
}  // namespace vorlan::board::test
