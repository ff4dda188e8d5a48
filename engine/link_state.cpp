#include "engine/link_state.h"

namespace vorlan {

namespace {

LinkState gLink;

}  // namespace

void ClearReplyFlags(LinkState& link) {
    link.ackFlag = 0;
    link.refusalFlag = 0;
    link.acksSinceClear = 0;
    link.identitySinceClear = false;
}

void BeginSearchTry(LinkState& link) {
    link.search = SearchAnswer{};
    link.search.listening = true;
}

LinkState& Link() {
    return gLink;
}

void ResetLinkState() {
    gLink = LinkState{};
}

void RequestStop() {
    gLink.stopRequest = true;
}

}  // namespace vorlan
