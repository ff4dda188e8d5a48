// One process-wide reference per window, set when the window is made and
// taken back before it is destroyed. Start-up sets the main window and the
// Port setup and Version list windows; each main window's behaviour sets its
// own. The main windows open the other two through these. Never owned here.
// UI thread only.
#pragma once

namespace vorlan {

class DesktopWindow;
class UpdaterWindowBehaviour;
class UpgradeWindowBehaviour;

struct WindowReferences {
    DesktopWindow* main = nullptr;  // the first window made; closing it ends the program
    DesktopWindow* portSetup = nullptr;
    DesktopWindow* versionList = nullptr;
    UpgradeWindowBehaviour* upgrade = nullptr;
    UpdaterWindowBehaviour* updater = nullptr;
};

WindowReferences& Windows();

}  // namespace vorlan
