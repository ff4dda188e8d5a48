#include "engine/update_run.h"

#include "catalogue/chip_family.h"
#include "catalogue/image_table.h"
#include "engine/device_search.h"
#include "engine/identification.h"
#include "engine/image_crc.h"
#include "engine/link_port.h"
#include "engine/link_state.h"
#include "engine/program_device.h"
#include "engine/run_plan.h"
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

// What every run starts from: no stale stop, no facts or end of an earlier
// run.
void StartRun() {
    // A stop pressed after the last run ended belongs to no run.
    Link().stopRequest = false;
    Link().commandFramesSent = false;
    ResetRunStatistics();
    ResetRunEnd();
}

// The value of the run that just ended, from what the engine recorded.
RunResult EndedRun(bool accepted, RunEnd acceptedEnd) {
    RunResult result = RecordedRunEnd();
    if (accepted)
        result.kind = acceptedEnd;
    result.framesReachedBoard = Link().commandFramesSent;
    result.facts = CurrentRunStatistics();
    // An image was chosen once the identification planned what to send.
    const RunPlan& plan = CurrentRunPlan();
    const ImageDescriptor& image = CurrentImage();
    if (plan.sendLength > 0 && image.programLength > 1) {
        const FamilyParameters& family = CurrentFamilyParameters();
        result.firmwareCrc = ImageCrc(image, plan.sendLength, family.jumpBlockLength);
        result.imageCrc = SentImageCrc(image, plan, family.jumpBlockLength, family.bytesPerAddress);
    }
    if (result.kind == RunEnd::InvalidPort)
        result.portProblem = CurrentLinkPort().Problem();
    return result;
}

// A start button's run; without `program`, one that stops after the
// identification.
RunResult RunOnce(ProgressBarView& progress, StatusBarView& status, bool program) {
    // Window events run inside the run's pauses; in Upgrade mode STOP shows
    // START again at once, so a second start can arrive mid-run.
    if (gRunActive)
        return RunResult{};
    bool accepted = false;
    {
        ActiveRun active;
        StartRun();
        accepted = SearchDevice(progress, status) == kSearchFound &&
                   (program ? ProgramDevice(progress, status)
                            : IdentifyDevice(progress, status, ImageIdentity()));
    }
    // A failure report in Upgrade mode leaves STOP up; every run ends idle.
    ShowIdleButtons();
    return EndedRun(accepted, program ? RunEnd::Programmed : RunEnd::Identified);
}

}  // namespace

RunResult RunUpdate(ProgressBarView& progress, StatusBarView& status) {
    return RunOnce(progress, status, true);
}

RunResult IdentifyOnly(ProgressBarView& progress, StatusBarView& status) {
    return RunOnce(progress, status, false);
}

bool IsRunActive() {
    return gRunActive;
}

}  // namespace vorlan
