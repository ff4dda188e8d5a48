#include "engine/program_device.h"

#include "catalogue/chip_family.h"
#include "catalogue/image_table.h"
#include "engine/identification.h"
#include "engine/programming_run.h"

namespace vorlan {

bool ProgramDevice(ProgressBarView& progress, StatusBarView& status) {
    if (!IdentifyDevice(progress, status, ImageIdentity()))
        return false;
    return RunProgramming(progress, status, CurrentImage(), CurrentRunPlan(),
                          CurrentFamilyParameters());
}

}  // namespace vorlan
