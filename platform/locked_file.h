// A small state file that several processes change in turn: an exclusive lock
// held while one of them reads and rewrites it, and a replacement that a
// crash or a power cut cannot leave half written. The lock lies on a lock
// file of its own beside the state file (never replaced, so every process
// locks the same file), taken with flock on Linux and LockFileEx on Windows;
// the system frees it when the process ends, also on a crash.
#pragma once

#include <memory>
#include <string>

namespace vorlan {

class FileLock {
public:
    virtual ~FileLock() = default;  // releases the lock
};

// Blocks until this process holds the lock on lockPath (created when
// missing). Null with the system's word in error.
std::unique_ptr<FileLock> LockFileBlocking(const std::string& lockPath, std::string& error);

// Writes text to path + ".tmp", flushes it to the disk, then renames it over
// path (on Linux the folder is flushed too; on Windows the replacement is
// written through). Afterwards path holds either its old text or the whole
// new one. false with the system's word in error. Call with the lock held.
bool ReplaceFileDurably(const std::string& path, const std::string& text, std::string& error);

}  // namespace vorlan
