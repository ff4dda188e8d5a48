#include "app/win32/window_references.h"

#include "app/win32/port_setup_window.h"
#include "app/win32/version_list_window.h"

namespace vorlan::win32 {

WindowReferences& Windows() {
    static WindowReferences references;
    return references;
}

void ShowWindowOf(Window* window) {
    if (window == nullptr)
        return;
    ShowWindow(window->Handle(), SW_SHOW);
    SetForegroundWindow(window->Handle());
}

}  // namespace vorlan::win32
