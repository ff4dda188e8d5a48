#include "app/port_problem_display.h"

#include <QLabel>
#include <cstdio>

#include "app/panel_status_bar.h"
#include "app/updater_window.h"
#include "engine/status_reporting.h"
#include "ports/port_selection.h"

namespace vorlan {

void InstallPortProblemDisplay() {
    SetPortProblemSink(ShowPortProblem);
}

void ShowPortProblem(const std::string& problem) {
    if (!problem.empty()) {
        std::fprintf(stderr, "vorlan: Invalid Port Com - %s\n", problem.c_str());
        std::fflush(stderr);
    }
    const QString tip = QString::fromStdString(problem);
    // ReportResult shows "Invalid Port Com" in the Upgrade window's step
    // panel when that window exists, else on the Updater window's result line.
    if (UpgradeWindowView* upgrade = RegisteredUpgradeWindow()) {
        auto* bar = dynamic_cast<PanelStatusBar*>(&upgrade->StatusBar());
        if (QLabel* panel = bar != nullptr ? bar->Panel(StepPanelIndex) : nullptr)
            panel->setToolTip(tip);
        return;
    }
    if (auto* updater = dynamic_cast<UpdaterWindow*>(RegisteredUpdaterWindow()))
        updater->Label2()->setToolTip(tip);
}

}  // namespace vorlan
