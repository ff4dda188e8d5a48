#include "app/win32/unattended_hooks.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "app/win32/message_loop.h"
#include "app/win32/win32_controls.h"

namespace vorlan::win32 {

namespace {

std::vector<std::pair<std::string, HWND>> gShotWindows;
std::function<void()> gStartRun;
std::string gShotFolder;

BOOL CALLBACK DismissBox(HWND window, LPARAM) {
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    if (std::wstring(className) != L"#32770" || !IsWindowVisible(window))
        return TRUE;
    // The box's text is its static with the id MessageBox gives it.
    std::fprintf(stderr, "vorlan: message box \"%s\": %s\n", TextOf(window).c_str(),
                 TextOf(GetDlgItem(window, 0xFFFF)).c_str());
    std::fflush(stderr);
    PostMessageW(window, WM_COMMAND, IDOK, 0);
    return TRUE;
}

void CALLBACK OnDismissTimer(HWND, UINT, UINT_PTR, DWORD) {
    EnumThreadWindows(GetCurrentThreadId(), DismissBox, 0);
}

// The window as the screen shows it, frame included, as a 24-bit BMP.
bool SaveWindow(HWND window, const std::string& path) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    SelectObject(memory, old);

    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    const int stride = (width * 3 + 3) & ~3;
    std::vector<char> pixels(static_cast<std::size_t>(stride) * static_cast<std::size_t>(height));
    GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(),
              reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = static_cast<DWORD>(file.bfOffBits + pixels.size());
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info), sizeof info);
    out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
    return static_cast<bool>(out);
}

// Lets the windows paint what they were just given.
void Settle() {
    for (int round = 0; round < 20; ++round) {
        PumpPendingMessages();
        Sleep(10);
    }
}

void CALLBACK OnShotTimer(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    CreateDirectoryW(Widen(gShotFolder).c_str(), nullptr);
    const char* run = std::getenv("VORLAN_SCREENSHOT_RUN");
    if (run != nullptr && std::string(run) == "1" && gStartRun) {
        // The benchmark reads the run's time from here.
        const auto start = std::chrono::steady_clock::now();
        gStartRun();
        const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
        std::fprintf(stderr, "vorlan: run %.3f s\n", seconds.count());
        std::fflush(stderr);
    }
    for (const auto& [name, window] : gShotWindows) {
        if (window == nullptr)
            continue;
        const bool wasShown = IsWindowVisible(window) != FALSE;
        ShowWindow(window, SW_SHOW);
        SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        Settle();
        const std::string path = gShotFolder + "\\" + name + ".bmp";
        if (!SaveWindow(window, path))
            std::fprintf(stderr, "vorlan: could not save %s\n", path.c_str());
        if (!wasShown)
            ShowWindow(window, SW_HIDE);
    }
    EndMessageLoop();
}

}  // namespace

void InstallDismissHook() {
    const char* interval = std::getenv("VORLAN_TEST_DISMISS_MS");
    const int ms = interval != nullptr ? std::atoi(interval) : 0;
    if (ms > 0)
        SetTimer(nullptr, 0, static_cast<UINT>(ms), OnDismissTimer);
}

void ScheduleScreenshots(std::vector<std::pair<std::string, HWND>> windows,
                         std::function<void()> startRun) {
    const char* folder = std::getenv("VORLAN_SCREENSHOT_DIR");
    if (folder == nullptr || folder[0] == '\0')
        return;
    gShotFolder = folder;
    gShotWindows = std::move(windows);
    gStartRun = std::move(startRun);
    SetTimer(nullptr, 0, 300, OnShotTimer);
}

}  // namespace vorlan::win32
