// Process-wide state of the board link, filled by the reply parser and read
// by the search, the identification and the identification display.
#pragma once

#include <array>
#include <cstdint>

namespace vorlan {

// The boot loader's report of itself, in the order it arrives after 'V'.
struct DeviceIdentity {
    std::uint8_t biosByte = 0;      // boot-loader version
    std::uint8_t chipIdentity = 0;  // chip family code
    std::uint8_t boardCode = 0;
    std::uint8_t preparation = 0;
};

// The search's own reading of the bytes since its byte went out. The identity
// answer carries no checksum, so it counts only when its form proves it
// whole: 'V' and exactly four identity bytes before the 'K', or one byte
// alone before the 'K' (the short answer). Bytes before the 'V' do not matter.
struct SearchAnswer {
    bool listening = false;  // a try waits for its answer
    std::uint32_t bytesSinceTry = 0;
    std::array<std::uint8_t, 6> lastBytes{};  // the newest at lastBytes[5]
    bool found = false;
    DeviceIdentity identity;
    bool fullIdentity = false;
    // Bytes that arrived after the last try (after the found answer's 'K'),
    // stopping at its maximum: the information frame and nothing else may
    // follow the answer.
    std::uint32_t bytesSinceAnswer = 0;
};

enum class InfoFrameState : std::int16_t { Idle = 0, Length = 1, Skip = 2, Data = 3 };

inline constexpr int kReceiveBufferSize = 3072;
inline constexpr int kReleaseTextLength = 24;
inline constexpr std::uint8_t kIdentityComplete = 255;

struct LinkState {
    // Flags, 0 or 1.
    std::uint8_t ackFlag = 0;
    std::uint8_t refusalFlag = 0;
    std::uint8_t fullIdentity = 0;
    std::uint16_t infoComplete = 0;
    bool stopRequest = false;
    // 'K' replies since the sender last cleared the flags (stops at 255): one
    // frame has one answer.
    std::uint8_t acksSinceClear = 0;
    // An identity answer ('V') began since the sender last cleared the flags.
    // After a frame that is no answer: the board's boot loader started again
    // (a reset or a brown-out) and took a search byte in what followed.
    bool identitySinceClear = false;
    // What the search has heard since its byte went out.
    SearchAnswer search;
    // A command frame has gone out since the search: from then on a reply
    // found before a frame is sent answers no frame of ours.
    bool commandFramesSent = false;

    DeviceIdentity pending;    // filled byte by byte
    DeviceIdentity confirmed;  // copied from pending at every 'K'
    std::uint8_t identityPosition = kIdentityComplete;

    InfoFrameState frameState = InfoFrameState::Idle;
    std::int16_t dataPosition = 0;
    std::uint16_t dataLength = 0;

    // Information fields. The release text always has room for its
    // terminating zero, also after data byte 23.
    std::array<std::uint8_t, kReleaseTextLength + 1> releaseText{};
    std::array<std::uint8_t, 2> skipWindowStart{};   // little-endian
    std::array<std::uint8_t, 2> skipWindowLength{};  // little-endian

    std::array<std::uint8_t, kReceiveBufferSize> receiveBuffer{};
};

// Boot loaders with a BIOS byte of 8 to 31 follow their identity answer with
// an information frame (release text and skip window). Only the first
// complete one after an identity answer is stored.
constexpr bool HasInformationFrame(std::uint8_t biosByte) {
    return biosByte >= 8 && biosByte <= 31;
}

// Starts listening for a search try's answer; the search byte goes out next.
void BeginSearchTry(LinkState& link);

// Clears the ack and refusal flags and what they counted, right before a send.
void ClearReplyFlags(LinkState& link);

// The one link state of the process.
LinkState& Link();
// Back to the state at program start (tests).
void ResetLinkState();

// Raised by the stop buttons; cleared only by WaitReply when it reports it
// (and by a new run, which discards a stale request).
void RequestStop();

}  // namespace vorlan
