#include "engine/run_plan.h"

namespace vorlan {

namespace {

RunPlan gPlan;

}  // namespace

RunPlan& CurrentRunPlan() {
    return gPlan;
}

void ResetRunPlan() {
    gPlan = RunPlan{};
}

}  // namespace vorlan
