// The first phase of ProgramDevice: decides whether and what to program.
//
// Refuses a boot loader with a BIOS byte above 32, waits (up to 251 pauses)
// for the information frame of BIOS bytes 8..31, selects the image for chip
// and board, sets the family parameters, fills CurrentRunPlan() and checks
// the board code and preparation against the image identity. Writes nothing
// to the board. Blocks in pauses; UI thread only.
#pragma once

#include <cstdint>

#include "catalogue/image_table.h"
#include "engine/run_plan.h"
#include "engine/views.h"

namespace vorlan {

// true when the board was accepted: CurrentImage(), the family parameters,
// the loaded image identity and CurrentRunPlan() then describe the run. On
// false the refusal has been reported. imageIdentity is the build's image
// identity (ImageIdentity()); tests pass their own.
// The board check of the identification: true when the device's board code
// and preparation fit the loaded image identity.
bool BoardFitsImage(std::uint8_t deviceBoard, std::uint8_t devicePreparation,
                    std::uint8_t imageBoard, std::uint8_t imagePreparation, bool fullIdentity);

bool IdentifyDevice(ProgressBarView& progress, StatusBarView& status,
                    ImageIdentityBytes imageIdentity);

}  // namespace vorlan
