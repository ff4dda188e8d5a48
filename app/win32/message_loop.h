// The message loop of the Win32 program, and the pumping that the pause does
// inside a run: every message of the thread is dispatched, keyboard
// navigation (Tab, Enter, Alt with a mnemonic) handled in the window that
// has it. UI thread only.
#pragma once

namespace vorlan::win32 {

// Handles every message waiting now and returns; never blocks. Paints at
// most every 20 ms (it runs inside a run's pauses).
void PumpPendingMessages();
// Handles messages until EndMessageLoop, blocking while there are none.
void RunMessageLoop();
// Marks the end of the message loop; the loop ends once the handler below it
// (a run, perhaps) has returned to it.
void EndMessageLoop();

// The desktop's double-click interval, read at each call.
int DoubleClickMs();

}  // namespace vorlan::win32
