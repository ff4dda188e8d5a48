// Arbitrary board bytes through the reply parser. Its state stays inside its
// fields whatever arrives, a reply split over reads is read as in one piece,
// and once an information frame is complete nothing but a new identity
// answer changes what it said.
#include <cstdint>
#include <cstring>

#include "engine/command_frame.h"
#include "engine/link_state.h"
#include "engine/reply_parser.h"
#include "fuzz/fuzz_check.h"

namespace {

using vorlan::Link;
using vorlan::LinkState;

bool SameState(const LinkState& a, const LinkState& b) {
    return a.ackFlag == b.ackFlag && a.refusalFlag == b.refusalFlag &&
           a.fullIdentity == b.fullIdentity && a.infoComplete == b.infoComplete &&
           a.acksSinceClear == b.acksSinceClear &&
           std::memcmp(&a.pending, &b.pending, sizeof a.pending) == 0 &&
           std::memcmp(&a.confirmed, &b.confirmed, sizeof a.confirmed) == 0 &&
           a.identityPosition == b.identityPosition && a.frameState == b.frameState &&
           a.dataPosition == b.dataPosition && a.dataLength == b.dataLength &&
           a.releaseText == b.releaseText && a.skipWindowStart == b.skipWindowStart &&
           a.skipWindowLength == b.skipWindowLength;
}

void CheckFields(const LinkState& link) {
    FUZZ_CHECK(link.releaseText[vorlan::kReleaseTextLength] == 0);
    FUZZ_CHECK(link.ackFlag <= 1 && link.refusalFlag <= 1 && link.fullIdentity <= 1);
    FUZZ_CHECK(link.infoComplete <= 1);
    FUZZ_CHECK(link.identityPosition <= 3 || link.identityPosition == vorlan::kIdentityComplete);
    FUZZ_CHECK(link.dataLength <= 255);
    FUZZ_CHECK(link.dataPosition >= 0 && link.dataPosition <= link.dataLength);
}

}  // namespace

// The first byte says where to split the rest into two reads.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::uint8_t* bytes = data + 1;
    const auto count = static_cast<std::int32_t>(size - 1);
    const std::int32_t split = count == 0 ? 0 : data[0] % (count + 1);

    vorlan::ResetLinkState();
    const LinkState& link = Link();
    for (std::int32_t i = 0; i < count; ++i) {
        const bool frameDone = link.infoComplete != 0;
        const auto text = link.releaseText;
        const auto start = link.skipWindowStart;
        const auto length = link.skipWindowLength;
        vorlan::ParseReplyByte(bytes[i]);
        CheckFields(link);
        if (frameDone && bytes[i] != vorlan::kReplyIdentity) {
            FUZZ_CHECK(link.releaseText == text);
            FUZZ_CHECK(link.skipWindowStart == start && link.skipWindowLength == length);
        }
    }
    const LinkState whole = link;

    vorlan::ResetLinkState();
    vorlan::ParseReplyBytes(bytes, split);
    vorlan::ParseReplyBytes(bytes + split, count - split);
    FUZZ_CHECK(SameState(Link(), whole));
    return 0;
}
