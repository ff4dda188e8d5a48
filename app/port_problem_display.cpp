#include "app/port_problem_display.h"

#include <cstdio>

#include "app/main_windows.h"
#include "engine/status_reporting.h"
#include "ports/port_selection.h"

namespace vorlan {

void InstallPortProblemDisplay() {
    // The menu item that opens the Port setup window is "Serial Port" or
    // "&Change port"; the window's title is the same in both.
    SetPortProblemSink(ShowPortProblem, {"the Setup window lists the ports present",
                                         "choose one in the Setup window", ""});
}

void ShowPortProblem(const std::string& problem) {
    if (!problem.empty()) {
        std::fprintf(stderr, "vorlan: Invalid Port Com - %s\n", problem.c_str());
        std::fflush(stderr);
    }
    ShowResultTip(problem);
}

void ShowResultTip(const std::string& tip) {
    // ReportResult shows its texts in the Upgrade window's step panel when
    // that window exists, else on the Updater window's result line.
    if (UpgradeWindowView* upgrade = RegisteredUpgradeWindow()) {
        if (auto* controls = dynamic_cast<UpgradeWindowControls*>(upgrade))
            controls->SetResultTip(tip);
        return;
    }
    if (auto* controls = dynamic_cast<UpdaterWindowControls*>(RegisteredUpdaterWindow()))
        controls->SetResultTip(tip);
}

}  // namespace vorlan
