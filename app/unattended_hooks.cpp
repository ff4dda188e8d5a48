#include "app/unattended_hooks.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>

#include "app/desktop_startup.h"
#include "app/main_windows.h"
#include "app/window_references.h"

namespace vorlan {

namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

void PressStartButton() {
    if (UpgradeWindowBehaviour* upgrade = Windows().upgrade) {
        upgrade->Button1Click();
    } else if (UpdaterWindowBehaviour* updater = Windows().updater) {
        updater->Button1Click();
    }
}

// Presses START and says how long the run took (the benchmarks read it).
void TimedRun() {
    const auto start = std::chrono::steady_clock::now();
    PressStartButton();
    const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
    std::fprintf(stderr, "vorlan: run %.3f s\n", seconds.count());
    std::fflush(stderr);
}

void SaveWindows(DesktopToolkit& toolkit, const std::string& folder) {
    const std::pair<const char*, DesktopWindow*> windows[] = {
        {"upgrade-window", Windows().upgrade ? &Windows().upgrade->Window() : nullptr},
        {"updater-window", Windows().updater ? &Windows().updater->Window() : nullptr},
        {"port-setup-window", Windows().portSetup},
        {"version-list-window", Windows().versionList},
    };
    for (const auto& [name, window] : windows) {
        if (window == nullptr)
            continue;
        const bool wasShown = window->IsWindowShown();
        window->ShowWindow();
        toolkit.SettleWindows();
        const std::string path = folder + "/" + name + toolkit.ImageExtension();
        if (window->SaveImage(path)) {
            const LayoutSize client = window->ClientSize();
            std::fprintf(stderr, "vorlan: saved %s, client %d x %d\n", path.c_str(), client.width,
                         client.height);
        } else {
            std::fprintf(stderr, "vorlan: could not save %s\n", path.c_str());
        }
        std::fflush(stderr);
        if (!wasShown)
            window->HideWindow();
    }
}

}  // namespace

void InstallDismissHook(DesktopToolkit& toolkit) {
    const int ms = std::atoi(Environment("VORLAN_TEST_DISMISS_MS").c_str());
    if (ms <= 0)
        return;
    toolkit.StartTimer(ms, true, [&toolkit] {
        for (const auto& [caption, text] : toolkit.DismissMessageBoxes()) {
            std::fprintf(stderr, "vorlan: message box \"%s\": %s\n", caption.c_str(), text.c_str());
            std::fflush(stderr);
        }
    });
}

void ScheduleScreenshots(DesktopToolkit& toolkit) {
    const std::string folder = Environment("VORLAN_SCREENSHOT_DIR");
    if (folder.empty())
        return;
    const bool run = Environment("VORLAN_SCREENSHOT_RUN") == "1";
    // After the main window's first paint.
    toolkit.StartTimer(300, false, [&toolkit, folder, run] {
        std::error_code ignored;
        std::filesystem::create_directories(folder, ignored);
        if (run)
            TimedRun();
        SaveWindows(toolkit, folder);
        toolkit.EndMessageLoop();
    });
}

}  // namespace vorlan
