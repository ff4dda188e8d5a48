#include "emulator/pty_line.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

namespace vorlan::board {
namespace {
constexpr int kSettleMs = 100;
}  // namespace

bool PtyLine::Open(std::string& error) {
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0) {
        error = std::string("cannot open a pseudo-terminal: ") + std::strerror(errno);
        return false;
    }
    char name[128] = {};
    if (grantpt(master_) != 0 || unlockpt(master_) != 0 ||
        ptsname_r(master_, name, sizeof name) != 0) {
        error = std::string("cannot prepare the pseudo-terminal: ") + std::strerror(errno);
        Close();
        return false;
    }
    slavePath_ = name;
    const int flags = fcntl(master_, F_GETFL);
    fcntl(master_, F_SETFD, FD_CLOEXEC);
    if (flags < 0 || fcntl(master_, F_SETFL, flags | O_NONBLOCK) != 0) {
        error =
            std::string("cannot make the pseudo-terminal non-blocking: ") + std::strerror(errno);
        Close();
        return false;
    }
    slaveHold_ = open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (slaveHold_ < 0) {
        error = "cannot open " + slavePath_ + ": " + std::strerror(errno);
        Close();
        return false;
    }
    return true;
}

void PtyLine::WaitUntilRead(int timeoutMs) const {
    if (slaveHold_ < 0)
        return;
    using std::chrono::steady_clock;
    const auto end = steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    const auto unread = [this] {
        int n = 0;
        return ioctl(slaveHold_, TIOCINQ, &n) == 0 ? n : 0;
    };
    // Bytes written to the master reach the slave's queue a moment later:
    // wait for them to show (or to have been read already) before waiting
    // for the queue to empty.
    const auto settled = steady_clock::now() + std::chrono::milliseconds(kSettleMs);
    while (unread() == 0 && steady_clock::now() < settled) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    while (unread() > 0 && steady_clock::now() < end) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

void PtyLine::Close() {
    if (master_ >= 0)
        close(master_);
    if (slaveHold_ >= 0)
        close(slaveHold_);
    master_ = -1;
    slaveHold_ = -1;
}

}  // namespace vorlan::board
