// The board link as the engine sees it: always the user's current port.
// The ports layer binds the real serial port here; tests bind a fake.
// All calls return at once (reads never wait; a write returns when the bytes
// have been handed to the line). UI thread only.
#pragma once

#include <cstdint>
#include <string>

#include "engine/views.h"

namespace vorlan {

class LinkPort {
public:
    virtual ~LinkPort() = default;
    // Opens the current port again when the selection changed since the last
    // open; reports "Invalid Port Com" itself when that fails.
    virtual void ReopenSelected() = 0;
    // "COM<n>" or "-----" in the port panel of the given bar.
    virtual void ShowOnStatusBar(StatusBarView& bar) = 0;
    // 0 usable, -1 invalid handle, -2 not open. Waits for queued output.
    virtual std::int16_t Check() = 0;
    // 2 when written, 0 when the port is not open or the write failed.
    virtual int Write(const std::uint8_t* bytes, std::int32_t count) = 0;
    // Bytes already received (never waits); 0 when none, closed or failed.
    virtual std::int32_t Read(std::uint8_t* buffer, std::int32_t capacity) = 0;
    // Reads and discards what has arrived until a read returns nothing, or a
    // bound is reached on a line that never runs dry; returns the bytes it
    // discarded.
    virtual std::int64_t Drain() = 0;
    // Why the port cannot be used, for a person; empty when nothing is known.
    virtual std::string Problem() { return {}; }
};

// The port the engine uses; never owned here. Unbound, the engine sees a port
// that is never usable.
void BindLinkPort(LinkPort* port);
LinkPort& CurrentLinkPort();

}  // namespace vorlan
