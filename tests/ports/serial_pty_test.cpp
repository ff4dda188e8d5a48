// The driver on real pseudo-terminals, as the board emulator serves them.
// A pty has one set of line settings shared by both ends, so each test first
// spoils them (9600 7E1, echo and line editing on) and then checks what the
// driver made of them from the board's side.
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "ports/serial_driver.h"
#include "tests/ports/temp_folder.h"

namespace vorlan {
namespace {

int OpenDescriptorCount() {
    int count = 0;
    for ([[maybe_unused]] const auto& entry :
         std::filesystem::directory_iterator("/proc/self/fd")) {
        ++count;
    }
    return count;
}

class SerialPtyTest : public ::testing::Test {
protected:
    void SetUp() override {
        master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
            GTEST_SKIP() << "no pseudo-terminals on this machine";
        }
        slavePath_ = ptsname(master_);
        termios wrong{};
        ASSERT_EQ(tcgetattr(master_, &wrong), 0);
        cfsetispeed(&wrong, B9600);
        cfsetospeed(&wrong, B9600);
        wrong.c_cflag = (wrong.c_cflag & ~(CSIZE | CSTOPB)) | CS7 | PARENB;
        wrong.c_lflag |= ECHO | ICANON | ISIG;
        wrong.c_iflag |= ICRNL | IXON | ISTRIP;
        wrong.c_oflag |= OPOST | ONLCR;
        ASSERT_EQ(tcsetattr(master_, TCSANOW, &wrong), 0);
        Link(1);
        setenv("VORLAN_PORT_DIR", aliases_.Path().c_str(), 1);
    }
    void TearDown() override {
        CloseAllPorts();
        unsetenv("VORLAN_PORT_DIR");
        if (master_ >= 0)
            close(master_);
    }
    // Makes COM<n> name this test's pty, as the emulator does.
    void Link(int comNumber) {
        std::filesystem::create_symlink(slavePath_, aliases_ / ("com" + std::to_string(comNumber)));
    }
    PortRecord* Open(int index) { return OpenPort(index, 115200, 0, 2, 8); }

    // Everything the board side receives within a short while.
    std::vector<std::uint8_t> BoardReceives(std::size_t expected) {
        std::vector<std::uint8_t> bytes;
        while (bytes.size() < expected) {
            pollfd p{master_, POLLIN, 0};
            if (poll(&p, 1, 2000) <= 0)
                break;
            std::uint8_t chunk[256];
            ssize_t n = read(master_, chunk, sizeof chunk);
            if (n <= 0)
                break;
            bytes.insert(bytes.end(), chunk, chunk + n);
        }
        return bytes;
    }

    int master_ = -1;
    std::string slavePath_;
    test::TempFolder aliases_;
};

TEST_F(SerialPtyTest, OpenPutsTheLineInto115200EightDataBitsNoParityTwoStopBitsRaw) {
    ASSERT_NE(Open(0), nullptr);
    termios line{};
    ASSERT_EQ(tcgetattr(master_, &line), 0);
    EXPECT_EQ(cfgetospeed(&line), static_cast<speed_t>(B115200));
    EXPECT_EQ(cfgetispeed(&line), static_cast<speed_t>(B115200));
    EXPECT_EQ(line.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(line.c_cflag & PARENB, 0u);
    EXPECT_NE(line.c_cflag & CSTOPB, 0u);
    EXPECT_NE(line.c_cflag & CLOCAL, 0u);
    EXPECT_NE(line.c_cflag & CREAD, 0u);
    EXPECT_EQ(line.c_cflag & CRTSCTS, 0u);
    EXPECT_EQ(line.c_iflag & (IXON | IXOFF | ICRNL | ISTRIP | INPCK), 0u);
    EXPECT_EQ(line.c_lflag & (ECHO | ICANON | ISIG | IEXTEN), 0u);
    EXPECT_EQ(line.c_oflag & OPOST, 0u);
    EXPECT_EQ(CheckPort(0), 0);
    // Modem-line calls are refused by a pty; the port stays usable.
    EXPECT_EQ(SetPortLines(0, 1), 0);
    EXPECT_EQ(CheckPort(0), 0);
}

TEST_F(SerialPtyTest, EveryByteValueCrossesUnchangedBothWays) {
    ASSERT_NE(Open(0), nullptr);
    std::vector<std::uint8_t> all(256);
    for (int i = 0; i < 256; ++i) all[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);

    ASSERT_EQ(WritePort(0, all.data(), 256), 2);
    EXPECT_EQ(BoardReceives(256), all);

    ASSERT_EQ(write(master_, all.data(), all.size()), 256);
    std::vector<std::uint8_t> got;
    for (int tries = 0; tries < 200 && got.size() < 256; ++tries) {
        WaitForInput(0, 50);
        std::uint8_t buffer[3072];
        std::int32_t n = ReadPort(0, buffer, 3072);
        got.insert(got.end(), buffer, buffer + n);
    }
    EXPECT_EQ(got, all);
    EXPECT_TRUE(BoardReceives(0).empty());  // no echo back to the board
}

TEST_F(SerialPtyTest, ReadNeverWaitsAndDrainEmptiesTheQueue) {
    ASSERT_NE(Open(0), nullptr);
    std::uint8_t buffer[3072];
    EXPECT_EQ(ReadPort(0, buffer, 3072), 0);  // nothing yet: at once
    std::vector<std::uint8_t> noise(3000, 0x55);
    ASSERT_GT(write(master_, noise.data(), noise.size()), 0);
    WaitForInput(0, 1000);
    DrainInput(0);
    EXPECT_EQ(ReadPort(0, buffer, 3072), 0);
}

TEST_F(SerialPtyTest, TheOpenIsExclusive) {
    Link(2);  // COM2 names the same device
    ASSERT_NE(Open(0), nullptr);
    const int before = OpenDescriptorCount();
    EXPECT_EQ(Open(1), nullptr);
    EXPECT_EQ(CheckPort(1), -2);
    EXPECT_EQ(OpenDescriptorCount(), before);  // nothing held by the failure

    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Another process (the same user) tries COM2 too.
        _exit(OpenPort(1, 115200, 0, 2, 8) == nullptr ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(CheckPort(0), 0);

    ClosePort(0);
    EXPECT_NE(Open(1), nullptr);  // free again once closed
}

TEST_F(SerialPtyTest, ALineThatGoesAwayReadsAsNothing) {
    ASSERT_NE(Open(0), nullptr);
    close(master_);
    master_ = -1;
    std::uint8_t buffer[64];
    EXPECT_EQ(ReadPort(0, buffer, 64), 0);
    DrainInput(0);               // must end
    EXPECT_EQ(CheckPort(0), 0);  // still an open record; the engine's waits notice
    const std::uint8_t byte = 0xC2;
    EXPECT_EQ(WritePort(0, &byte, 1), 0);
    WaitForInput(0, 5);
    ClosePort(0);
    EXPECT_EQ(CheckPort(0), -2);
}

TEST_F(SerialPtyTest, AMissingDeviceFailsWithoutAMessage) {
    std::vector<std::string> messages;
    SetDriverMessageSink(
        [&](const std::string& text, const std::string&) { messages.push_back(text); });
    std::filesystem::create_symlink(aliases_ / "nowhere", aliases_ / "com9");
    std::filesystem::create_symlink("/dev/null", aliases_ / "com10");  // not a serial line
    EXPECT_EQ(Open(8), nullptr);
    EXPECT_EQ(Open(9), nullptr);
    EXPECT_TRUE(messages.empty());
    SetDriverMessageSink(nullptr);
}

// The emulator stopped (its end of the line closed) or started again on
// another pseudo-terminal under the same COM name: either way the port the
// driver holds is no longer the board's, so the next run must open it anew.
TEST_F(SerialPtyTest, APortIsNoLongerPresentOnceItsLineHungUpOrItsNameMoved) {
    ASSERT_NE(Open(0), nullptr);
    EXPECT_TRUE(PortStillPresent(0));

    const int other = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(other, 0);
    ASSERT_EQ(grantpt(other), 0);
    ASSERT_EQ(unlockpt(other), 0);
    std::filesystem::remove(aliases_ / "com1");
    std::filesystem::create_symlink(ptsname(other), aliases_ / "com1");
    EXPECT_FALSE(PortStillPresent(0));
    ASSERT_NE(Open(0), nullptr);
    EXPECT_TRUE(PortStillPresent(0));

    close(other);  // the far end goes away, the name stays
    EXPECT_FALSE(PortStillPresent(0));
}

// An alias whose adapter is not there says where it leads.
TEST_F(SerialPtyTest, AFailedOpenOfADanglingAliasNamesItsTarget) {
    std::filesystem::create_symlink(aliases_ / "unplugged", aliases_ / "com7");
    int handle = -1;
    const SerialStatus status = PlatformSerialBackend().OpenExclusive(aliases_ / "com7", handle);
    EXPECT_EQ(status.kind, SerialErrorKind::kNotFound);
    EXPECT_EQ(status.message, "No such file or directory; it is a link to " +
                                  (aliases_ / "unplugged") +
                                  ", which does not exist (is the adapter plugged in?)");
}

// A device of a group the user is not in: the advice names the group and the
// command that adds the user to it. Tried by an account without privileges
// in a child process; root sees no permissions at all.
TEST_F(SerialPtyTest, APermissionRefusalNamesTheGroupToJoin) {
    const group* dialout = getgrnam("dialout");
    if (getuid() != 0 || dialout == nullptr)
        GTEST_SKIP() << "needs root (to act as another user) and a dialout group";
    const std::string device = aliases_ / "ttyFAKE";
    ASSERT_EQ(close(creat(device.c_str(), 0660)), 0);
    ASSERT_EQ(chown(device.c_str(), 0, dialout->gr_gid), 0);
    ASSERT_EQ(chmod(device.c_str(), 0660), 0);  // crw-rw---- as a serial device
    ASSERT_EQ(chmod(aliases_.Path().c_str(), 0755), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const gid_t nogroup = 65534;
        if (setgroups(0, nullptr) != 0 || setgid(nogroup) != 0 || setuid(65534) != 0)
            _exit(2);
        int handle = -1;
        const SerialStatus denied = PlatformSerialBackend().OpenExclusive(device, handle);
        _exit(denied.kind == SerialErrorKind::kDenied &&
                      denied.message ==
                          "Permission denied; it belongs to group dialout: sudo "
                          "usermod -aG dialout $USER, then log in again"
                  ? 0
                  : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

}  // namespace
}  // namespace vorlan
