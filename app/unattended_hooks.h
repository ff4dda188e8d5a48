// Running the program with nobody at the screen: message boxes answered on
// their own (the window tests start the real program) and the documentation's
// screenshots taken. Switched on by environment variables only; a user's
// start never meets them. Written once for every toolkit.
//
//   VORLAN_TEST_DISMISS_MS=<n>   every n ms, each message box on screen is
//                                written to stderr as
//                                  vorlan: message box "<caption>": <text>
//                                and dismissed with OK.
//   VORLAN_SCREENSHOT_DIR=<dir>  once the main window is up, each window is
//                                shown and saved as <dir>/<name> with the
//                                toolkit's image extension, as the screen
//                                shows it, each save written to stderr as
//                                  vorlan: saved <path>, client <w> x <h>
//                                (the client area in the screen's pixels);
//                                then the program ends without storing the
//                                port setting.
//   VORLAN_SCREENSHOT_RUN=1      with the above: first press the main
//                                window's start button and let the run end
//                                (a board emulator on the port shows a
//                                finished update); its time goes to stderr as
//                                  vorlan: run <seconds> s
// The names: upgrade-window, updater-window, port-setup-window,
// version-list-window. UI thread only.
#pragma once

namespace vorlan {

class DesktopToolkit;

// Before anything can show a box (the lock's "Already in progress").
void InstallDismissHook(DesktopToolkit& toolkit);
// Once the windows exist and the main window is shown; before the loop.
void ScheduleScreenshots(DesktopToolkit& toolkit);

}  // namespace vorlan
