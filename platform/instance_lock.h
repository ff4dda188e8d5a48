// The single-instance lock "VORLAN.MUTEX": an exclusive flock on a lock file
// in a folder of the user's own, which the kernel frees when the process ends
// (also on a crash). The folder is $XDG_RUNTIME_DIR, or else /tmp/vorlan-<uid>,
// created with mode 0700 and used only when it is a real folder owned by us
// with no access for others. The lock file is opened without following links,
// so a link planted by another user is refused. On Windows the lock is the
// named mutex "VORLAN.MUTEX" of the user's session itself, and there is no
// lock file. Not thread-safe; one per process.
#pragma once

#include <string>

namespace vorlan {

enum class LockResult {
    Acquired,       // this is the only copy
    HeldElsewhere,  // another copy holds the lock
    Unavailable,    // no safe place for the lock (or the OS refused); not held
};

class InstanceLock {
public:
    InstanceLock() = default;
    ~InstanceLock();  // releases the lock when held
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // Never blocks. reason: the OS's word on an Unavailable result.
    LockResult Acquire(std::string* reason = nullptr);
    void Release();
    bool Held() const { return fd_ >= 0; }

    // The lock file's path, or "" when there is no safe folder for it (always
    // "" on Windows).
    static std::string LockFilePath(std::string* reason = nullptr);

private:
    int fd_ = -1;  // the lock file, or on Windows the mutex (HandleToLong)
};

}  // namespace vorlan
