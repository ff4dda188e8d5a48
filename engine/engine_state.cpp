#include "engine/engine_state.h"

#include "catalogue/chip_family.h"
#include "catalogue/image_table.h"
#include "engine/identification_display.h"
#include "engine/link_port.h"
#include "engine/link_state.h"
#include "engine/pause.h"
#include "engine/run_plan.h"
#include "engine/run_result.h"
#include "engine/run_statistics.h"
#include "engine/run_trace.h"
#include "engine/status_reporting.h"

namespace vorlan {

void ResetEngineState() {
    ResetLinkState();
    ResetStatusReporting();
    BindLinkPort(nullptr);
    BindPause(nullptr);
    ResetRunPlan();
    ResetRunStatistics();
    ResetRunEnd();
    ResetRunTrace();
    LoadedImage() = LoadedImageIdentity{};
    ResetFamilyParameters();
    ResetImageTable();
}

}  // namespace vorlan
