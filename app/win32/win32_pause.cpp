#include "app/win32/win32_pause.h"

#include "app/win32/message_loop.h"
#include "ports/port_selection.h"

namespace vorlan::win32 {

namespace {

constexpr int kSlices = 5;
constexpr int kSliceMs = 1;
// A slice that ends this much before its millisecond ended on the board's
// bytes (a slice that only slept takes the whole of it, or more).
constexpr std::int64_t kEarlyUs = 900;

}  // namespace

std::int64_t Win32Pause::PauseFiveMs() {
    std::int64_t waitedUs = 0;
    for (int slice = 0; slice < kSlices && waitedUs < kPauseUs; ++slice) {
        const std::int64_t sliceUs = WaitForBoardBytes(kSliceMs);
        waitedUs += sliceUs;
        PumpPendingMessages();
        if (sliceUs < kEarlyUs)
            break;
    }
    return waitedUs;
}

}  // namespace vorlan::win32
