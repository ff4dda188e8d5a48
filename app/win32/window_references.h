// One process-wide reference per secondary window, set by start-up when the
// window is created and kept until the program ends. The main windows open
// the Port setup and Version list windows through these. Never owned here.
// UI thread only.
#pragma once

namespace vorlan::win32 {

class PortSetupWindow;
class VersionListWindow;
class Window;

struct WindowReferences {
    PortSetupWindow* portSetup = nullptr;
    VersionListWindow* versionList = nullptr;
};

WindowReferences& Windows();

// Shows the window (a null one is left alone) without waiting for it to
// close, and brings it to the front.
void ShowWindowOf(Window* window);

}  // namespace vorlan::win32
