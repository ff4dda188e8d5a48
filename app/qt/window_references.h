// One process-wide reference per window, set by start-up when the window is
// created and kept until the program ends. The main windows open the Port
// setup and Version list windows through these. Never owned here.
// UI thread only.
#pragma once

class QWidget;

namespace vorlan {

struct WindowReferences {
    QWidget* portSetup = nullptr;    // PortSetupWindow
    QWidget* versionList = nullptr;  // VersionListWindow
};

WindowReferences& Windows();

}  // namespace vorlan
