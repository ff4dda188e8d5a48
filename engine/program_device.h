// Identification, image selection and the programming run: everything after a
// successful search. Reports its own outcome; blocks in pauses.
#pragma once

#include <cstdint>

#include "engine/views.h"

namespace vorlan {

struct RunPlan {
    std::int32_t sendLength = 0;    // program image bytes to send, from byte 0
    std::int32_t blockSize = 64;    // data bytes per block frame
    std::int32_t programLimit = 0;  // address of the head block
    std::uint32_t skipStart = 0;    // 0: no skip window
    std::uint32_t skipLength = 0;
};
RunPlan& CurrentRunPlan();

// The board check of the identification: true when the device's board code
// and preparation fit the loaded image identity.
bool BoardFitsImage(std::uint8_t deviceBoard, std::uint8_t devicePreparation,
                    std::uint8_t imageBoard, std::uint8_t imagePreparation, bool fullIdentity);

// true when the whole image was acknowledged and success was reported.
bool ProgramDevice(ProgressBarView& progress, StatusBarView& status);

}  // namespace vorlan
