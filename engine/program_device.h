// Identification, image selection and the programming run: everything after a
// successful search. Reports its own outcome; blocks in pauses.
#pragma once

#include "engine/views.h"

namespace vorlan {

// true when the whole image was acknowledged and success was reported.
bool ProgramDevice(ProgressBarView& progress, StatusBarView& status);

}  // namespace vorlan
