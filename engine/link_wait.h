// Waiting for the board while the window stays alive. Every limit is a count
// of 5 ms pauses (engine/pause.h), not a clock reading. UI thread only.
#pragma once

#include <cstdint>

namespace vorlan {

// Link results of WaitReply.
inline constexpr std::int16_t kWaitAcknowledged = 1;
inline constexpr std::int16_t kWaitTimeOut = 0;
inline constexpr std::int16_t kWaitRefused = -1;
inline constexpr std::int16_t kWaitStopped = -2;

// One pause per started 5 ms: 0 or less nothing, 1..5 one pause, 6..10 two.
void PumpMessages(std::int32_t ms);
// One read of the current port, every byte fed to the parser. Returns the
// number of bytes read.
std::int16_t PollReplies();
// ms / 5 passes of pause, poll, then: stop request (cleared) -2, ack 1,
// refusal -1. 0 after the last pass. Never clears the ack or refusal flag.
std::int16_t WaitReply(std::int32_t ms);
// Zeroes the confirmed identity only.
void ClearIdentity();

}  // namespace vorlan
