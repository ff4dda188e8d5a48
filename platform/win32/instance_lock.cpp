// The single-instance lock as the named mutex "VORLAN.MUTEX" of the user's
// session; the system frees it when the process ends, also on a crash.
#include "platform/instance_lock.h"

#include <windows.h>

#include "platform/win32/system_error.h"

namespace vorlan {

namespace {

const char* const kMutexName = "VORLAN.MUTEX";

// Kernel handles carry 32 significant bits on 64-bit Windows too, so the
// class's int holds one (HandleToLong and LongToHandle are made for this).
HANDLE HandleOf(int value) {
    return LongToHandle(value);
}

}  // namespace

std::string InstanceLock::LockFilePath(std::string* reason) {
    if (reason != nullptr)
        *reason = std::string("the lock is the named mutex ") + kMutexName;
    return {};
}

LockResult InstanceLock::Acquire(std::string* reason) {
    if (Held())
        return LockResult::Acquired;
    HANDLE mutex = CreateMutexA(nullptr, TRUE, kMutexName);
    const DWORD error = GetLastError();
    if (mutex == nullptr) {
        // A named object of another kind, or one we may not open: held by
        // someone, but not as our lock.
        if (reason != nullptr)
            *reason = std::string(kMutexName) + ": " + SystemMessage(error);
        return LockResult::Unavailable;
    }
    if (error == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return LockResult::HeldElsewhere;
    }
    fd_ = HandleToLong(mutex);
    return LockResult::Acquired;
}

void InstanceLock::Release() {
    if (fd_ < 0)
        return;
    ReleaseMutex(HandleOf(fd_));
    CloseHandle(HandleOf(fd_));
    fd_ = -1;
}

InstanceLock::~InstanceLock() {
    Release();
}

}  // namespace vorlan
