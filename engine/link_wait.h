// Waiting for the board while the window stays alive. Every limit is time
// spent in 5 ms pauses (engine/pause.h) as the pauses report it, so a pause
// cut short by bytes that answer nothing does not shorten a wait. UI thread
// only.
#pragma once

#include <cstdint>

namespace vorlan {

// Link results of WaitReply.
inline constexpr std::int16_t kWaitAcknowledged = 1;
inline constexpr std::int16_t kWaitTimeOut = 0;
inline constexpr std::int16_t kWaitRefused = -1;
inline constexpr std::int16_t kWaitStopped = -2;

// One pause; returns the microseconds it waited, at least 1, so that every
// wait ends however often bytes cut its pauses short.
std::int64_t TakePause();
// Pauses until ms have passed in pauses: 0 or less nothing, 1..5 one whole
// pause, 6..10 two.
void PumpMessages(std::int32_t ms);
// One read of the current port, every byte fed to the parser. Returns the
// number of bytes read.
std::int16_t PollReplies();
// Pause, poll, then: stop request (cleared) -2, refusal -1, ack 1 (a refusal
// and an ack in the same read are a refusal: the frame is sent again, which a
// board that did store it takes no harm from). 0 once (ms / 5) x 5 ms have
// passed in pauses without one of them: ms / 5 passes on a quiet line. Never
// clears the ack or refusal flag.
std::int16_t WaitReply(std::int32_t ms);
// The same wait, but a refusal does not end it: stop -2, ack 1, else 0 once
// the whole time has passed.
std::int16_t WaitAcknowledgement(std::int32_t ms);
// A search try's wait: stop -2, 1 once a whole identity answer has arrived
// (LinkState::search), else 0 once the whole time has passed. A refusal, a
// bare 'K' and a malformed answer count like silence, so that a line full of
// them can neither shorten a try nor pass for a board.
std::int16_t WaitSearchAnswer(std::int32_t ms);
// Reads and drops, unparsed, what the board sent before the next frame goes
// out (a bounded number of reads), and puts the parser back to Idle: a frame
// it was still assembling cannot be finished by the answer to the new one.
// true when a reply byte ('K' or 'N') was among the dropped bytes.
bool DiscardEarlierInput();
// Zeroes the confirmed identity only.
void ClearIdentity();

}  // namespace vorlan
