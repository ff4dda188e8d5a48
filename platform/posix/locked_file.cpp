#include "platform/locked_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/posix/write_all.h"

namespace vorlan {

namespace {

class FlockedFile : public FileLock {
public:
    explicit FlockedFile(int fd) : fd_(fd) {}
    ~FlockedFile() override { ::close(fd_); }  // closing releases the flock

private:
    int fd_;
};

std::string Reason(const std::string& path) {
    return path + ": " + std::strerror(errno);
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

std::unique_ptr<FileLock> LockFileBlocking(const std::string& lockPath, std::string& error) {
    const int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0) {
        error = Reason(lockPath);
        return nullptr;
    }
    while (::flock(fd, LOCK_EX) != 0) {
        if (errno != EINTR) {
            error = Reason(lockPath);
            ::close(fd);
            return nullptr;
        }
    }
    return std::make_unique<FlockedFile>(fd);
}

bool ReplaceFileDurably(const std::string& path, const std::string& text, std::string& error) {
    const std::string temporary = path + ".tmp";
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        error = Reason(temporary);
        return false;
    }
    bool written = WriteAll(fd, text) && ::fsync(fd) == 0;
    std::string problem = written ? "" : Reason(temporary);
    if (::close(fd) != 0 && written) {
        written = false;
        problem = Reason(temporary);
    }
    if (written && ::rename(temporary.c_str(), path.c_str()) != 0) {
        written = false;
        problem = Reason(path);
    }
    if (!written) {
        ::unlink(temporary.c_str());
        error = problem;
        return false;
    }
    // The rename itself lasts once the folder's entry is on the disk.
    const int folder = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return true;
}

}  // namespace vorlan
