#include "app/win32/startup.h"

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <memory>

#include "app/build_version.h"
#include "app/desktop_startup.h"
#include "app/win32/message_loop.h"
#include "app/win32/port_setup_window.h"
#include "app/win32/unattended_hooks.h"
#include "app/win32/updater_window.h"
#include "app/win32/upgrade_window.h"
#include "app/win32/version_list_window.h"
#include "app/win32/win32_controls.h"
#include "app/win32/win32_pause.h"
#include "app/win32/window_references.h"

namespace vorlan::win32 {

namespace {

// The four windows as Win32 windows, destroyed in the reverse order of
// creation once the message loop (and any run inside it) has returned.
class Win32Toolkit final : public DesktopToolkit {
public:
    ~Win32Toolkit() override { DestroyWindows(); }

    Pause& RunPause() override { return pause_; }

    void ShowAlreadyInProgress(const std::string& caption) override {
        MessageBoxW(nullptr, L"Already in progress", Widen(caption).c_str(), MB_OK | MB_TOPMOST);
    }

    void ShowError(const std::string& message) override { ShowErrorBox(message); }

    void ShowDriverMessage(const std::string& text, const std::string& caption) override {
        MessageBoxW(GetActiveWindow(), Widen(text).c_str(), Widen(caption).c_str(), MB_OK);
    }

    void CreateUpgradeWindow() override {
        upgrade_ = std::make_unique<UpgradeWindow>();
        upgrade_->SetMainWindow(true);
        main_ = upgrade_->Handle();
    }

    void CreateUpdaterWindow() override {
        updater_ = std::make_unique<UpdaterWindow>();
        if (main_ == nullptr) {
            updater_->SetMainWindow(true);
            main_ = updater_->Handle();
        }
    }

    void CreatePortSetupWindow() override {
        portSetup_ = std::make_unique<PortSetupWindow>();
        Windows().portSetup = portSetup_.get();
    }

    void CreateVersionListWindow() override {
        versionList_ = std::make_unique<VersionListWindow>();
        Windows().versionList = versionList_.get();
    }

    void RunMessageLoop() override {
        ShowWindow(main_, SW_SHOW);
        UpdateWindow(main_);
        ScheduleScreenshots(
            {{"upgrade-window", upgrade_ ? upgrade_->Handle() : nullptr},
             {"updater-window", updater_ ? updater_->Handle() : nullptr},
             {"port-setup-window", portSetup_ ? portSetup_->Handle() : nullptr},
             {"version-list-window", versionList_ ? versionList_->Handle() : nullptr}},
            [this] {
                if (upgrade_) {
                    upgrade_->Button1Click();
                } else {
                    updater_->Button1Click();
                }
            });
        win32::RunMessageLoop();
    }

    void DestroyWindows() override {
        Windows() = WindowReferences{};
        versionList_.reset();
        portSetup_.reset();
        updater_.reset();
        upgrade_.reset();
        main_ = nullptr;
    }

private:
    Win32Pause pause_;
    std::unique_ptr<UpgradeWindow> upgrade_;
    std::unique_ptr<UpdaterWindow> updater_;
    std::unique_ptr<PortSetupWindow> portSetup_;
    std::unique_ptr<VersionListWindow> versionList_;
    HWND main_ = nullptr;
};

}  // namespace

int Startup(const std::vector<std::string>& commandLine, const std::string& buildVersion) {
    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_BAR_CLASSES | ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES;
    InitCommonControlsEx(&controls);
    InstallDismissHook();
    Win32Toolkit toolkit;
    return RunDesktopProgram(toolkit, commandLine, buildVersion);
}

}  // namespace vorlan::win32
