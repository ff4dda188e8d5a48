// Status operations: the one route from the engine, the catalogue and the
// port selection to the screen (besides the progress bar and status bar that a
// main window hands to a run).
//
// Process-wide state: the window references, the notifier reference and the
// status bar panel indexes. Upgrade mode is on exactly while an Upgrade window
// is registered. UI thread only; nothing here pumps events or throws.
#pragma once

#include <cstdint>
#include <string>

#include "engine/views.h"

namespace vorlan {

inline constexpr int kDevicePanel = 2;
inline constexpr int kNoPanel = -2;

// Panel indexes. Writers always go through these; a negative index means the
// active window has no such panel and the text is not written.
extern int PortPanelIndex;    // 0
extern int StepPanelIndex;    // 1
extern int DevicePanelIndex;  // 2; -2 while an Upgrade window is registered
extern int ImagePanelIndex;   // 3

// Window references, set before a window's constructor runs; never owned here.
void RegisterUpdaterWindow(UpdaterWindowView* window);
// Registering an Upgrade window turns Upgrade mode on and sets
// DevicePanelIndex to -2; null turns it off and sets it back to 2.
void RegisterUpgradeWindow(UpgradeWindowView* window);
UpdaterWindowView* RegisteredUpdaterWindow();  // may be null
UpgradeWindowView* RegisteredUpgradeWindow();  // may be null
bool IsUpgradeMode();
// true when a build version string selects the Upgrade window, and so Upgrade
// mode: "HNX" or "BRQ", case-sensitive, anywhere in the text.
bool SelectsUpgradeWindow(const std::string& buildVersion);

// The running notifier, or null when the command line did not ask for one.
void RegisterStatusNotifier(StatusRecordSink* notifier);
StatusRecordSink* StatusNotifier();

// Writes text into the given panel of a status bar; negative panels are skipped.
void SetPanel(StatusBarView& bar, int panel, const std::string& text);

// Final outcome: notifier first (low byte of code), then the window.
void ReportResult(const std::string& text, StatusColour colour, int code);
// Intermediate step: never notifies, never touches the buttons.
void ReportStatus(const std::string& text, StatusColour colour);
void ShowBusyButtons();
void ShowIdleButtons();

// Puts the panel indexes back to their start values and forgets every
// registered window and notifier. For tests and for start-up.
void ResetStatusReporting();

}  // namespace vorlan
