#include "engine/run_plan.h"

namespace vorlan {

namespace {

RunPlan gPlan;

}  // namespace

RunPlan& CurrentRunPlan() {
    return gPlan;
}

bool InSkipWindow(const RunPlan& plan, std::int32_t after) {
    if (plan.skipStart == 0)
        return false;
    const std::int64_t a = after;
    return plan.skipStart <= a && a <= static_cast<std::int64_t>(plan.skipStart) +
                                           static_cast<std::int64_t>(plan.skipLength);
}

void ResetRunPlan() {
    gPlan = RunPlan{};
}

}  // namespace vorlan
