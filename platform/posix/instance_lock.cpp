#include "platform/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace vorlan {

namespace {

const char* const kLockName = "VORLAN.MUTEX";

std::string OsReason(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

// A folder that nobody but us can write: a real folder (not a link), ours,
// no permissions for group or others.
bool IsPrivateFolder(const std::string& path, std::string* reason) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
        if (reason != nullptr)
            *reason = OsReason(path);
        return false;
    }
    if (!S_ISDIR(info.st_mode) || info.st_uid != ::getuid() || (info.st_mode & 077) != 0) {
        if (reason != nullptr)
            *reason = path + " is not a private folder of this user";
        return false;
    }
    return true;
}

}  // namespace

std::string InstanceLock::LockFilePath(std::string* reason) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::string folder;
    if (runtime != nullptr && runtime[0] == '/') {
        folder = runtime;
    } else {
        folder = "/tmp/vorlan-" + std::to_string(::getuid());
        // An existing folder is fine as long as the check below accepts it.
        if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
            if (reason != nullptr)
                *reason = OsReason(folder);
            return {};
        }
    }
    if (!IsPrivateFolder(folder, reason))
        return {};
    return folder + "/" + kLockName;
}

LockResult InstanceLock::Acquire(std::string* reason) {
    if (Held())
        return LockResult::Acquired;
    const std::string path = LockFilePath(reason);
    if (path.empty())
        return LockResult::Unavailable;
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        if (reason != nullptr)
            *reason = OsReason(path);
        return LockResult::Unavailable;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        if (error == EWOULDBLOCK)
            return LockResult::HeldElsewhere;
        errno = error;
        if (reason != nullptr)
            *reason = OsReason(path);
        return LockResult::Unavailable;
    }
    fd_ = fd;
    return LockResult::Acquired;
}

void InstanceLock::Release() {
    if (fd_ < 0)
        return;
    // The file stays: removing it would let a third copy lock a new file while
    // a second still waits on the old one.
    ::flock(fd_, LOCK_UN);
    ::close(fd_);
    fd_ = -1;
}

InstanceLock::~InstanceLock() {
    Release();
}

}  // namespace vorlan
