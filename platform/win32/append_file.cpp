#include "platform/append_file.h"

#include <windows.h>

#include "platform/win32/system_error.h"

namespace vorlan {

// FILE_APPEND_DATA without FILE_WRITE_DATA: the system itself puts every
// write at the end of the file, as O_APPEND does. The C run-time's append
// mode instead moves to the end and then writes, and two processes doing
// that at the same moment write over each other's lines.
std::string AppendToFile(const std::string& path, const std::string& text) {
    HANDLE file = CreateFileA(path.c_str(), FILE_APPEND_DATA | SYNCHRONIZE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return SystemMessage(GetLastError());
    std::string problem;
    DWORD written = 0;
    if (!WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr))
        problem = SystemMessage(GetLastError());
    else if (written != text.size())
        problem = SystemMessage(ERROR_DISK_FULL);
    if (!CloseHandle(file) && problem.empty())
        problem = SystemMessage(GetLastError());
    return problem;
}

}  // namespace vorlan
