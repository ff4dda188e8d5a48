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
#include "engine/program_device.h"
#include "engine/views.h"

namespace vorlan {

// true when the board was accepted: CurrentImage(), the family parameters,
// the loaded image identity and CurrentRunPlan() then describe the run. On
// false the refusal has been reported. imageIdentity is the build's image
// identity (ImageIdentity()); tests pass their own.
bool IdentifyDevice(ProgressBarView& progress, StatusBarView& status,
                    ImageIdentityBytes imageIdentity);

}  // namespace vorlan
