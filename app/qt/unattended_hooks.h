// Running the program with nobody at the screen: message boxes answered on
// their own (the window tests start the real program) and the documentation's
// screenshots taken. Switched on by environment variables only; a user's
// start never meets them.
//
//   VORLAN_TEST_DISMISS_MS=<n>   every n ms, each message box on screen is
//                                written to stderr as
//                                  vorlan: message box "<caption>": <text>
//                                and dismissed with OK (the window tests run
//                                the real program without anyone to click).
//   VORLAN_SCREENSHOT_DIR=<dir>  once the main window is up, each window is
//                                shown, saved as <dir>/<name>.png with
//                                QWidget::grab(), and the program ends
//                                without storing the port setting.
//   VORLAN_SCREENSHOT_RUN=1      with the above: first press the main
//                                window's start button and let the run end
//                                (a board emulator on the port shows a
//                                finished update).
// UI thread only.
#pragma once

#include <QString>
#include <functional>
#include <utility>
#include <vector>

class QWidget;

namespace vorlan {

void InstallDismissHook();

// windows: (file name without .png, window), in the order to save them.
// startRun: presses the main window's start button; returns after the run.
void ScheduleScreenshots(const std::vector<std::pair<QString, QWidget*>>& windows,
                         const std::function<void()>& startRun);

}  // namespace vorlan
