#include "engine/reply_parser.h"

#include <algorithm>
#include <cstdint>

#include "engine/command_frame.h"
#include "engine/link_state.h"

namespace vorlan {

namespace {

// Information frames come only from boot loaders of these versions.

constexpr int kSkipStartFirstByte = kReleaseTextLength;       // 24
constexpr int kSkipLengthFirstByte = kReleaseTextLength + 2;  // 26
constexpr int kLastStoredByte = kReleaseTextLength + 3;       // 27

void PlaceIdentityByte(LinkState& link, std::uint8_t byte) {
    DeviceIdentity& pending = link.pending;
    switch (link.identityPosition) {
        case 0:
            pending.biosByte = byte;
            link.identityPosition = 1;
            break;
        case 1:
            pending.chipIdentity = byte;
            link.identityPosition = 2;
            break;
        case 2:
            pending.boardCode = byte;
            link.identityPosition = 3;
            break;
        case 3:
            pending.preparation = byte;
            link.identityPosition = kIdentityComplete;
            break;
        default:
            // A byte after a complete identity starts a short answer: the
            // chip identity alone.
            link.fullIdentity = 0;
            pending.biosByte = 0;
            pending.chipIdentity = byte;
            link.identityPosition = kIdentityComplete;
            break;
    }
}

void ParseIdleByte(LinkState& link, std::uint8_t byte) {
    const std::uint8_t bios = link.confirmed.biosByte;
    if (byte == kReplyInformation && HasInformationFrame(bios)) {
        link.dataPosition = 0;
        link.frameState = InfoFrameState::Length;
    } else if (byte == kReplyAck) {
        link.confirmed = link.pending;
        link.ackFlag = 1;
        if (link.acksSinceClear < 255)
            ++link.acksSinceClear;
    } else if (byte == kReplyRefusal) {
        link.refusalFlag = 1;
    } else if (byte == kReplyIdentity) {
        link.fullIdentity = 1;
        link.identitySinceClear = true;
        link.pending.biosByte = 1;
        link.identityPosition = 0;
        link.infoComplete = 0;
    } else {
        PlaceIdentityByte(link, byte);
    }
}

void StoreDataByte(LinkState& link, int position, std::uint8_t byte) {
    if (position < kReleaseTextLength) {
        // The text array has one byte more than the text, so the zero after
        // the last character always fits.
        link.releaseText[static_cast<std::size_t>(position)] = byte;
        link.releaseText[static_cast<std::size_t>(position) + 1] = 0;
    } else if (position < kSkipLengthFirstByte) {
        link.skipWindowStart[static_cast<std::size_t>(position - kSkipStartFirstByte)] = byte;
    } else if (position <= kLastStoredByte) {
        link.skipWindowLength[static_cast<std::size_t>(position - kSkipLengthFirstByte)] = byte;
    }
    // Later bytes are counted by the caller and dropped.
}

void ParseDataByte(LinkState& link, std::uint8_t byte) {
    if (link.dataPosition < static_cast<std::int16_t>(link.dataLength)) {
        // A second frame, real or made of line noise, must not replace what
        // the first one said: the skip window decides which blocks are sent.
        if (link.infoComplete == 0)
            StoreDataByte(link, link.dataPosition, byte);
        ++link.dataPosition;
    } else if (byte == kReplyAck) {
        link.infoComplete = 1;
        link.frameState = InfoFrameState::Idle;
    }
}

void ParseByState(LinkState& link, std::uint8_t byte) {
    switch (link.frameState) {
        case InfoFrameState::Idle:
            ParseIdleByte(link, byte);
            break;
        case InfoFrameState::Length:
            link.dataLength = byte;
            link.dataPosition = 0;
            link.frameState = InfoFrameState::Skip;
            break;
        case InfoFrameState::Skip:
            link.frameState = InfoFrameState::Data;
            break;
        case InfoFrameState::Data:
            ParseDataByte(link, byte);
            break;
    }
}

bool IsReplyLetter(std::uint8_t byte) {
    return byte == kReplyAck || byte == kReplyRefusal || byte == kReplyIdentity;
}

// The answer that the 'K' at lastBytes[5] ends, if its form proves it whole.
bool ReadWholeAnswer(const SearchAnswer& search, DeviceIdentity& identity, bool& full) {
    const auto& last = search.lastBytes;
    if (search.bytesSinceTry == 2 && !IsReplyLetter(last[4])) {
        identity = DeviceIdentity{};
        identity.chipIdentity = last[4];
        full = false;
        return true;
    }
    if (search.bytesSinceTry < 6 || last[0] != kReplyIdentity)
        return false;
    for (int i = 1; i <= 4; ++i) {
        if (IsReplyLetter(last[static_cast<std::size_t>(i)]))
            return false;
    }
    identity = DeviceIdentity{last[1], last[2], last[3], last[4]};
    full = true;
    return true;
}

// Runs after the byte has been parsed by the rules above. A whole answer also
// puts the parser where that answer leaves it, whatever stray bytes before it
// made of the identity position or the frame state.
void NoteSearchByte(LinkState& link, std::uint8_t byte) {
    SearchAnswer& search = link.search;
    if (!search.listening) {
        if (search.bytesSinceAnswer != UINT32_MAX)
            ++search.bytesSinceAnswer;
        return;
    }
    if (search.bytesSinceTry != UINT32_MAX)
        ++search.bytesSinceTry;
    std::copy(search.lastBytes.begin() + 1, search.lastBytes.end(), search.lastBytes.begin());
    search.lastBytes.back() = byte;
    if (byte != kReplyAck || !ReadWholeAnswer(search, search.identity, search.fullIdentity))
        return;
    search.found = true;
    search.listening = false;
    link.pending = search.identity;
    link.confirmed = search.identity;
    link.fullIdentity = search.fullIdentity ? 1 : 0;
    link.identityPosition = kIdentityComplete;
    link.frameState = InfoFrameState::Idle;
}

}  // namespace

void ParseReplyByte(std::uint8_t byte) {
    LinkState& link = Link();
    ParseByState(link, byte);
    NoteSearchByte(link, byte);
}

void ParseReplyBytes(const std::uint8_t* bytes, std::int32_t count) {
    for (std::int32_t i = 0; i < count; ++i) ParseReplyByte(bytes[i]);
}

}  // namespace vorlan
