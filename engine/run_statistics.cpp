#include "engine/run_statistics.h"

namespace vorlan {

namespace {

RunStatistics gStatistics;

}  // namespace

RunStatistics& CurrentRunStatistics() {
    return gStatistics;
}

void ResetRunStatistics() {
    gStatistics = RunStatistics{};
}

}  // namespace vorlan
