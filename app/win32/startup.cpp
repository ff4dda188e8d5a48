#include "app/win32/startup.h"

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <map>
#include <memory>

#include "app/desktop_startup.h"
#include "app/win32/message_loop.h"
#include "app/win32/port_setup_window.h"
#include "app/win32/updater_window.h"
#include "app/win32/upgrade_window.h"
#include "app/win32/version_list_window.h"
#include "app/win32/win32_controls.h"
#include "app/win32/win32_pause.h"

namespace vorlan::win32 {

namespace {

// The thread timers of the unattended hooks, by the id SetTimer gave.
struct HookTimer {
    bool repeat;
    std::function<void()> tick;
};
std::map<UINT_PTR, HookTimer> gTimers;

void CALLBACK OnHookTimer(HWND, UINT, UINT_PTR id, DWORD) {
    const auto timer = gTimers.find(id);
    if (timer == gTimers.end())
        return;
    // A tick may run a whole update: a copy, and a single shot gone first.
    const std::function<void()> tick = timer->second.tick;
    if (!timer->second.repeat) {
        KillTimer(nullptr, id);
        gTimers.erase(timer);
    }
    tick();
}

BOOL CALLBACK CollectBox(HWND window, LPARAM found) {
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    if (std::wstring(className) == L"#32770" && IsWindowVisible(window))
        reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
    return TRUE;
}

// The windows as Win32 windows, MessageBox and the thread's message loop.
class Win32Toolkit final
    : public DesktopToolkitOf<UpgradeWindow, UpdaterWindow, PortSetupWindow, VersionListWindow> {
public:
    ~Win32Toolkit() override {
        for (const auto& [id, timer] : gTimers) KillTimer(nullptr, id);
        gTimers.clear();
    }

    Pause& RunPause() override { return pause_; }

    void ShowAlreadyInProgress(const std::string& caption) override {
        MessageBoxW(nullptr, L"Already in progress", Widen(caption).c_str(), MB_OK | MB_TOPMOST);
    }

    void ShowError(const std::string& message) override { ShowErrorBox(message); }

    void ShowDriverMessage(const std::string& text, const std::string& caption) override {
        MessageBoxW(GetActiveWindow(), Widen(text).c_str(), Widen(caption).c_str(), MB_OK);
    }

    void RunMessageLoop() override { win32::RunMessageLoop(); }
    void EndMessageLoop() override { win32::EndMessageLoop(); }

    void StartTimer(int ms, bool repeat, std::function<void()> tick) override {
        const UINT_PTR id = SetTimer(nullptr, 0, static_cast<UINT>(ms), OnHookTimer);
        if (id != 0)
            gTimers[id] = {repeat, std::move(tick)};
    }

    std::vector<std::pair<std::string, std::string>> DismissMessageBoxes() override {
        std::vector<HWND> boxes;
        EnumThreadWindows(GetCurrentThreadId(), CollectBox, reinterpret_cast<LPARAM>(&boxes));
        std::vector<std::pair<std::string, std::string>> dismissed;
        for (HWND box : boxes) {
            // The box's text is its static with the id MessageBox gives it.
            dismissed.emplace_back(TextOf(box), TextOf(GetDlgItem(box, 0xFFFF)));
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        }
        return dismissed;
    }

    void SettleWindows() override {
        for (int round = 0; round < 20; ++round) {
            PumpPendingMessages();
            Sleep(10);
        }
    }

    std::string ImageExtension() const override { return ".bmp"; }

private:
    Win32Pause pause_;
};

}  // namespace

int Startup(const std::vector<std::string>& commandLine, const std::string& buildVersion) {
    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_BAR_CLASSES | ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES;
    InitCommonControlsEx(&controls);
    Win32Toolkit toolkit;
    return RunDesktopProgram(toolkit, commandLine, buildVersion);
}

}  // namespace vorlan::win32
