#include "engine/link_state.h"

namespace vorlan {

namespace {

LinkState gLink;

}  // namespace

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
