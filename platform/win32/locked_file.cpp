#include "platform/locked_file.h"

#include <windows.h>

#include "platform/win32/system_error.h"

namespace vorlan {

namespace {

class LockedHandle : public FileLock {
public:
    explicit LockedHandle(HANDLE file) : file_(file) {}
    ~LockedHandle() override {
        OVERLAPPED at{};
        UnlockFileEx(file_, 0, 1, 0, &at);
        CloseHandle(file_);
    }

private:
    HANDLE file_;
};

std::string Reason(const std::string& path, DWORD error) {
    return path + ": " + SystemMessage(error);
}

// The program's paths are in the ANSI code page, as its other file names.
std::wstring Wide(const std::string& path) {
    const int count = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
    std::wstring wide(count > 0 ? static_cast<std::size_t>(count) : 1, L'\0');
    if (count > 0)
        MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), count);
    wide.resize(wide.size() - 1);
    return wide;
}

}  // namespace

std::unique_ptr<FileLock> LockFileBlocking(const std::string& lockPath, std::string& error) {
    HANDLE file = CreateFileW(Wide(lockPath).c_str(), GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = Reason(lockPath, GetLastError());
        return nullptr;
    }
    // One byte at offset 0, exclusive, waiting (no LOCKFILE_FAIL_IMMEDIATELY).
    OVERLAPPED at{};
    if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &at)) {
        error = Reason(lockPath, GetLastError());
        CloseHandle(file);
        return nullptr;
    }
    return std::make_unique<LockedHandle>(file);
}

bool ReplaceFileDurably(const std::string& path, const std::string& text, std::string& error) {
    const std::string temporary = path + ".tmp";
    HANDLE file = CreateFileW(Wide(temporary).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = Reason(temporary, GetLastError());
        return false;
    }
    DWORD written = 0;
    const bool ok =
        WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
        written == text.size() && FlushFileBuffers(file);
    const DWORD writeError = GetLastError();
    CloseHandle(file);
    if (!ok) {
        error = Reason(temporary, writeError);
        DeleteFileW(Wide(temporary).c_str());
        return false;
    }
    if (!MoveFileExW(Wide(temporary).c_str(), Wide(path).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = Reason(path, GetLastError());
        DeleteFileW(Wide(temporary).c_str());
        return false;
    }
    return true;
}

}  // namespace vorlan
