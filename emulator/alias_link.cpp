#include "emulator/alias_link.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "platform/com_naming.h"

namespace vorlan::board {
namespace {

namespace fs = std::filesystem;

std::string ComLinkPath(const std::string& folder, int comNumber) {
    return (fs::path(folder) / ("com" + std::to_string(comNumber))).string();
}

std::string ReadLink(const std::string& path) {
    std::error_code error;
    const fs::path target = fs::read_symlink(path, error);
    return error ? std::string() : target.string();
}

}  // namespace

int AliasLink::FirstFreeNumber(const std::string& folder) {
    for (int n = 1; n < 256; ++n) {
        // A link of ours would hide a present device of the fixed scheme
        // (COM1 is /dev/ttyS0) from the updater's port list.
        struct stat info {};
        const std::string fixed = vorlan::FixedDevicePathOfCom(n);
        if (!fixed.empty() && stat(fixed.c_str(), &info) == 0)
            continue;
        if (lstat(ComLinkPath(folder, n).c_str(), &info) != 0 && errno == ENOENT)
            return n;
    }
    return 0;
}

bool AliasLink::Create(const std::string& folder, int comNumber, const std::string& target,
                       bool replace, std::string& error) {
    std::error_code fsError;
    fs::create_directories(folder, fsError);
    if (fsError) {
        error = "cannot create the port alias folder " + folder + ": " + fsError.message();
        return false;
    }
    const std::string path = ComLinkPath(folder, comNumber);
    struct stat info {};
    if (lstat(path.c_str(), &info) == 0) {
        if (!S_ISLNK(info.st_mode)) {
            error = path + " exists and is not a link; not touching it";
            return false;
        }
        struct stat targetInfo {};
        const bool live = stat(path.c_str(), &targetInfo) == 0;
        if (live && !replace) {
            error = path + " already links to " + ReadLink(path) +
                    "; choose another --com or take it over with --replace";
            return false;
        }
        // Stale (its device is gone) or taken over: swap it in one step, so
        // the updater never sees the name missing.
        const std::string temporary = path + ".new." + std::to_string(getpid());
        unlink(temporary.c_str());
        if (symlink(target.c_str(), temporary.c_str()) != 0 ||
            rename(temporary.c_str(), path.c_str()) != 0) {
            error = "cannot replace " + path + ": " + std::strerror(errno);
            unlink(temporary.c_str());
            return false;
        }
    } else if (symlink(target.c_str(), path.c_str()) != 0) {
        error = "cannot create " + path + ": " + std::strerror(errno);
        return false;
    }
    path_ = path;
    target_ = target;
    return true;
}

void AliasLink::Remove() {
    if (path_.empty())
        return;
    // Someone may have taken the name over since; leave their link alone.
    if (ReadLink(path_) == target_)
        unlink(path_.c_str());
    path_.clear();
}

}  // namespace vorlan::board
