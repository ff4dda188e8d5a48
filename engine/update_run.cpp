#include "engine/update_run.h"

#include "engine/device_search.h"
#include "engine/link_state.h"
#include "engine/program_device.h"
#include "engine/run_statistics.h"
#include "engine/status_reporting.h"

namespace vorlan {

namespace {

bool gRunActive = false;

// Marks the run active for as long as it lasts.
class ActiveRun {
public:
    ActiveRun() { gRunActive = true; }
    ~ActiveRun() { gRunActive = false; }
    ActiveRun(const ActiveRun&) = delete;
    ActiveRun& operator=(const ActiveRun&) = delete;
};

}  // namespace

RunOutcome RunUpdate(ProgressBarView& progress, StatusBarView& status) {
    // Window events run inside the run's pauses; in Upgrade mode STOP shows
    // START again at once, so a second start can arrive mid-run.
    if (gRunActive)
        return RunOutcome::NotStarted;
    bool succeeded = false;
    {
        ActiveRun active;
        // A stop pressed after the last run ended belongs to no run.
        Link().stopRequest = false;
        ResetRunStatistics();
        succeeded =
            SearchDevice(progress, status) == kSearchFound && ProgramDevice(progress, status);
    }
    // A failure report in Upgrade mode leaves STOP up; every run ends idle.
    ShowIdleButtons();
    return succeeded ? RunOutcome::Succeeded : RunOutcome::Failed;
}

bool IsRunActive() {
    return gRunActive;
}

}  // namespace vorlan
