#include "platform/posix/open_failure_advice.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <vector>

namespace vorlan::posix {

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kLookupBufferBytes = 16384;

std::string GroupName(gid_t gid) {
    std::vector<char> buffer(kLookupBufferBytes);
    group entry{};
    group* found = nullptr;
    if (getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr) {
        return {};
    }
    return found->gr_name;
}

bool SessionCarries(gid_t gid) {
    if (getegid() == gid)
        return true;
    const int count = getgroups(0, nullptr);
    if (count <= 0)
        return false;
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    const int got = getgroups(count, groups.data());
    return got > 0 && std::find(groups.begin(), groups.begin() + got, gid) != groups.begin() + got;
}

// Group membership is read at login: a user added to the group since then
// is listed in the group database but this session does not carry it.
bool ListedInGroup(gid_t gid) {
    std::vector<char> buffer(kLookupBufferBytes);
    passwd entry{};
    passwd* user = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &user) != 0 || user == nullptr) {
        return false;
    }
    int count = 64;
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    if (getgrouplist(user->pw_name, user->pw_gid, groups.data(), &count) < 0) {
        groups.resize(static_cast<std::size_t>(count));
        if (getgrouplist(user->pw_name, user->pw_gid, groups.data(), &count) < 0)
            return false;
    }
    return std::find(groups.begin(), groups.begin() + count, gid) != groups.begin() + count;
}

std::string PermissionAdvice(const std::string& devicePath) {
    struct stat device {};
    if (stat(devicePath.c_str(), &device) != 0)
        return {};
    const std::string group = GroupName(device.st_gid);
    const bool groupMayUse = (device.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP);
    if (group.empty() || !groupMayUse || device.st_gid == 0) {
        return "; only its owner may open it: an administrator can give it to a group "
               "(a udev rule)";
    }
    if (!SessionCarries(device.st_gid) && ListedInGroup(device.st_gid)) {
        return "; it belongs to group " + group +
               ", which this login does not carry yet: log out and in again";
    }
    return "; it belongs to group " + group + ": sudo usermod -aG " + group +
           " $USER, then log in again";
}

std::string MissingAdvice(const std::string& devicePath) {
    std::error_code error;
    if (!fs::is_symlink(fs::symlink_status(devicePath, error)))
        return "; is the adapter plugged in?";
    fs::path target = fs::read_symlink(devicePath, error);
    if (error)
        return {};
    if (target.is_relative())
        target = fs::path(devicePath).parent_path() / target;
    return "; it is a link to " + target.string() +
           ", which does not exist (is the adapter plugged in?)";
}

}  // namespace

std::string OpenFailureAdvice(int error, const std::string& devicePath) {
    switch (error) {
        case EACCES:
        case EPERM:
            return PermissionAdvice(devicePath);
        case ENOENT:
            return MissingAdvice(devicePath);
        case EBUSY:
        case EWOULDBLOCK:
            return "; another program has it open (a terminal program, vorlan-flash, "
                   "a modem manager)";
        case EIO:
        case ENXIO:
        case ENODEV:
            return "; no port hardware answers behind this device";
        default:
            return {};
    }
}

}  // namespace vorlan::posix
