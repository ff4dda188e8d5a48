#include "app/win32/message_loop.h"

#include <windows.h>

namespace vorlan::win32 {

namespace {

bool gLoopEnded = false;

void Dispatch(MSG& message) {
    // The window with the focus gets the keys of a dialog: Tab, Enter,
    // Alt with an underlined letter.
    HWND window = GetAncestor(message.hwnd, GA_ROOT);
    if (window != nullptr && IsDialogMessageW(window, &message))
        return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

}  // namespace

void PumpPendingMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // Not ours to take: the loop below us ends on it.
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        Dispatch(message);
    }
}

void RunMessageLoop() {
    gLoopEnded = false;
    MSG message;
    while (!gLoopEnded && GetMessageW(&message, nullptr, 0, 0) > 0) Dispatch(message);
}

void EndMessageLoop() {
    gLoopEnded = true;
    PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0);
}

int DoubleClickMs() {
    return static_cast<int>(GetDoubleClickTime());
}

}  // namespace vorlan::win32
