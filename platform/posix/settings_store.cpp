// The settings of organisation "Quenta", application "Vorlan" in the ini
// files where QSettings keeps them on Linux, read and written here without Qt
// (vorlan-flash starts once per board, and loading Qt Core cost more than the
// rest of its start): the user's file in $XDG_CONFIG_HOME (~/.config when
// unset) over the machine-wide ones in $XDG_CONFIG_DIRS (/etc/xdg when unset),
// each Quenta/Vorlan.conf. VORLAN_SETTINGS_DIR names one folder instead.
#include "platform/settings_store.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <optional>
#include <stdexcept>
#include <vector>

#include "platform/posix/ini_text.h"
#include "platform/posix/write_all.h"

namespace vorlan {

namespace {

constexpr const char* kStoreFile = "/Quenta/Vorlan.conf";
// A settings file is a few lines; anything far larger is not one of ours
// (and a link to a device that never ends must not hang the program).
constexpr std::size_t kLargestFile = 1 << 20;

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

std::string HomeFolder() {
    std::string home = Environment("HOME");
    if (home.empty()) {
        if (const passwd* user = ::getpwuid(::getuid()); user != nullptr && user->pw_dir != nullptr)
            home = user->pw_dir;
    }
    return home;
}

// As the XDG base directories say: a relative path in these variables is
// ignored.
std::string UserFile() {
    std::string folder = Environment("XDG_CONFIG_HOME");
    if (folder.empty() || folder.front() != '/')
        folder = HomeFolder() + "/.config";
    return folder + kStoreFile;
}

std::vector<std::string> MachineFiles() {
    std::vector<std::string> files;
    const std::string folders = Environment("XDG_CONFIG_DIRS");
    std::size_t start = 0;
    while (start <= folders.size()) {
        std::size_t end = folders.find(':', start);
        if (end == std::string::npos)
            end = folders.size();
        const std::string folder = folders.substr(start, end - start);
        if (!folder.empty() && folder.front() == '/')
            files.push_back(folder + kStoreFile);
        start = end + 1;
    }
    if (files.empty())
        files.push_back(std::string("/etc/xdg") + kStoreFile);
    return files;
}

// The files in the order they are asked; the first is the one written.
std::vector<std::string> StoreFiles() {
    const std::string folder = Environment("VORLAN_SETTINGS_DIR");
    if (!folder.empty())
        return {folder + kStoreFile};
    std::vector<std::string> files{UserFile()};
    for (std::string& file : MachineFiles()) files.push_back(std::move(file));
    return files;
}

// The whole file; nothing when it is missing, cannot be read or is too large.
std::optional<std::string> ReadFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return std::nullopt;
    struct stat info {};
    std::optional<std::string> text;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        text.emplace();
        char buffer[4096];
        for (;;) {
            const ssize_t count = ::read(fd, buffer, sizeof buffer);
            if (count < 0 && errno == EINTR)
                continue;
            if (count < 0 || text->size() + static_cast<std::size_t>(count) > kLargestFile) {
                text.reset();
                break;
            }
            if (count == 0)
                break;
            text->append(buffer, static_cast<std::size_t>(count));
        }
    }
    ::close(fd);
    return text;
}

bool MakeFolders(const std::string& path) {
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        const std::string folder = path.substr(0, slash);
        if (::mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST)
            return false;
    }
    return true;
}

// The file a write goes to: the target of a link (so that a linked settings
// file stays linked), else the path itself.
std::string WriteTarget(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
        char target[PATH_MAX];
        if (::realpath(path.c_str(), target) != nullptr)
            return target;
    }
    return path;
}

// Replaces the file as a whole: a new file beside it, flushed, then renamed
// over it, so that a full disk or a crash leaves the old file as it was.
bool ReplaceFile(const std::string& path, const std::string& text, mode_t mode) {
    std::string temporary = path + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    bool written = ::fchmod(fd, mode) == 0 && WriteAll(fd, text) && ::fsync(fd) == 0;
    written = ::close(fd) == 0 && written;
    if (written && ::rename(temporary.c_str(), path.c_str()) == 0)
        return true;
    ::unlink(temporary.c_str());
    return false;
}

}  // namespace

std::string ReadSetting(const std::string& name) {
    for (const std::string& file : StoreFiles()) {
        const std::optional<std::string> text = ReadFile(file);
        if (!text)
            continue;
        const std::optional<ini::IniValue> value = ini::FindTopLevelValue(*text, name);
        if (!value)
            continue;
        switch (value->kind) {
            case ini::ValueKind::kOtherType:
                // A list or a typed value is not a setting of ours. The file is
                // named, since the value may come from a machine-wide one.
                throw std::runtime_error("Invalid data type for '" + name + "' in " + file);
            case ini::ValueKind::kInvalid:
                return {};
            case ini::ValueKind::kText:
                break;
        }
        std::string result = value->text;
        // Like a registry string, the value ends at its first zero byte.
        if (const auto zero = result.find('\0'); zero != std::string::npos)
            result.resize(zero);
        return result;
    }
    return {};
}

void WriteSetting(const std::string& name, const std::string& value) {
    // A store that cannot be written stays as it was; nobody is told.
    const std::string path = WriteTarget(StoreFiles().front());
    struct stat info {};
    std::string old;
    // A new file gets what the process's file mask allows, as any new file.
    // (Reading the mask means setting it; no other thread creates files.)
    const mode_t mask = ::umask(022);
    ::umask(mask);
    mode_t mode = 0666 & ~mask;
    if (::stat(path.c_str(), &info) == 0) {
        // A file that cannot be read is not replaced: its other settings
        // would be lost.
        const std::optional<std::string> text = ReadFile(path);
        if (!text)
            return;
        old = *text;
        mode = info.st_mode & 07777;
    } else if (errno != ENOENT || !MakeFolders(path)) {
        return;
    }
    ReplaceFile(path, ini::WithTopLevelValue(old, name, value), mode);
}

}  // namespace vorlan
