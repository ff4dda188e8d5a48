#include "platform/console.h"

#include <io.h>
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace vorlan {

namespace {

std::atomic<int> gInterruptPending{0};
std::atomic<int> gInterruptPresses{0};
int gPressesToEnd = 0;
const char* gEndMessage = "";

// The system calls this on a thread of its own for each Ctrl-C or
// Ctrl-Break; closing the window and logging off keep their default.
BOOL WINAPI OnConsoleControl(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
        return FALSE;
    const int presses = gInterruptPresses.fetch_add(1) + 1;
    if (gPressesToEnd > 0 && presses >= gPressesToEnd) {
        DWORD written = 0;
        WriteFile(GetStdHandle(STD_ERROR_HANDLE), gEndMessage,
                  static_cast<DWORD>(std::strlen(gEndMessage)), &written, nullptr);
        std::_Exit(130);
    }
    gInterruptPending.store(1);
    return TRUE;
}

}  // namespace

void UseParentConsole() {
    const auto leadsSomewhere = [](DWORD which) {
        HANDLE handle = GetStdHandle(which);
        return handle != nullptr && handle != INVALID_HANDLE_VALUE &&
               GetFileType(handle) != FILE_TYPE_UNKNOWN;
    };
    const bool out = leadsSomewhere(STD_OUTPUT_HANDLE);
    const bool err = leadsSomewhere(STD_ERROR_HANDLE);
    if ((out && err) || !AttachConsole(ATTACH_PARENT_PROCESS))
        return;
    if (!out)
        std::freopen("CONOUT$", "w", stdout);
    if (!err)
        std::freopen("CONOUT$", "w", stderr);
}

bool HasDesktop() {
    return true;
}

// A console window counts only when it takes the terminal control sequences
// that the progress bar uses; switching them on is part of the answer.
bool IsTerminal(std::FILE* stream) {
    if (stream == nullptr)
        return false;
    const int fd = _fileno(stream);
    if (fd < 0)
        return false;
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    DWORD mode = 0;
    if (handle == INVALID_HANDLE_VALUE || !GetConsoleMode(handle, &mode))
        return false;  // a pipe, a file, or the NUL device
    if ((mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0)
        return true;
    return SetConsoleMode(handle, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

void InstallConsoleInterrupt(int pressesToEndAtOnce, const char* endMessage) {
    gPressesToEnd = pressesToEndAtOnce;
    gEndMessage = endMessage != nullptr ? endMessage : "";
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

void StopWhenParentEnds() {}

bool TakeConsoleInterrupt() {
    return TakeConsoleInterruptWithOrigin() != ConsoleInterrupt::kNone;
}

// A console hands each Ctrl-C and Ctrl-Break to every process attached to
// it, children included, so every press counts as the terminal's.
ConsoleInterrupt TakeConsoleInterruptWithOrigin() {
    return gInterruptPending.exchange(0) != 0 ? ConsoleInterrupt::kFromTerminal
                                              : ConsoleInterrupt::kNone;
}

}  // namespace vorlan
