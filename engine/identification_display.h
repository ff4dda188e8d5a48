// The Updater window's identification and release lines, and the two image
// warnings that end a run. All do nothing visible without an Updater window.
#pragma once

#include <cstdint>
#include <string>

#include "engine/link_state.h"

namespace vorlan {

// Board code and preparation copied from the image identity at every
// identification of a known chip; both 0 until the first one.
struct LoadedImageIdentity {
    std::uint8_t boardCode = 0;
    std::uint8_t preparation = 0;
};
LoadedImageIdentity& LoadedImage();

void ShowBoardIdentity();
// The boot loader's release text from its information frame; empty without
// a frame, or for erased flash (0xFF).
std::string ReleaseTextOf(const LinkState& link);
void WarnNoImage();      // " No Hex inside !! " (not in Upgrade mode)
void WarnImageTooBig();  // " Hex too Big !! " (not in Upgrade mode)

}  // namespace vorlan
