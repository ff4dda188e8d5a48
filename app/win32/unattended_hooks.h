// Running the program with nobody at the screen, as the Qt program does it
// (the same environment variables): message boxes answered on their own and
// the documentation's screenshots taken. A user's start never meets them.
//
//   VORLAN_TEST_DISMISS_MS=<n>   every n ms, each message box of the program
//                                is written to stderr as
//                                  vorlan: message box "<caption>": <text>
//                                and dismissed with OK.
//   VORLAN_SCREENSHOT_DIR=<dir>  once the main window is up, each window is
//                                shown, saved as <dir>/<name>.bmp as the
//                                screen shows it (frame included), and the
//                                program ends without storing the port.
//   VORLAN_SCREENSHOT_RUN=1      with the above: first press the main
//                                window's start button and let the run end;
//                                its time goes to stderr as
//                                  vorlan: run <seconds> s
// UI thread only.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace vorlan::win32 {

void InstallDismissHook();

// windows: (file name without .bmp, window), in the order to save them; a
// null window is left out. startRun presses the main window's start button
// and returns after the run.
void ScheduleScreenshots(std::vector<std::pair<std::string, HWND>> windows,
                         std::function<void()> startRun);

}  // namespace vorlan::win32
