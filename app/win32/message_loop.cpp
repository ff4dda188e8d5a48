#include "app/win32/message_loop.h"

#include <windows.h>

#include <chrono>

namespace vorlan::win32 {

namespace {

bool gLoopEnded = false;
// A run changes the status bar and the progress bar with every block; under
// wine each paint costs about a millisecond of the run's time. The eye sees
// no difference when a run paints at most this often.
constexpr auto kPaintInterval = std::chrono::milliseconds(20);
std::chrono::steady_clock::time_point gLastPaint;

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
    const auto now = std::chrono::steady_clock::now();
    const bool paintDue = now - gLastPaint >= kPaintInterval;
    // A look at the queue costs less than taking nothing out of it.
    const DWORD queued = HIWORD(GetQueueStatus(QS_ALLINPUT));
    if ((queued & ~QS_PAINT) == 0 && !(paintDue && (queued & QS_PAINT) != 0))
        return;
    UINT kinds = PM_REMOVE | PM_QS_INPUT | PM_QS_POSTMESSAGE | PM_QS_SENDMESSAGE;
    if (paintDue) {
        kinds |= PM_QS_PAINT;
        gLastPaint = now;
    }
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, kinds)) {
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
