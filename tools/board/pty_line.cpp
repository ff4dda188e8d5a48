#include "tools/board/pty_line.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace vorlan::board {

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

void PtyLine::Close() {
    if (master_ >= 0)
        close(master_);
    if (slaveHold_ >= 0)
        close(slaveHold_);
    master_ = -1;
    slaveHold_ = -1;
}

}  // namespace vorlan::board
