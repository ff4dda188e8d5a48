#include "tools/flash/terminal_views.h"

#include "engine/status_reporting.h"

namespace vorlan::flash {

void TerminalStatusBar::SetPanelText(int panel, const std::string& text) {
    if (panel < 0) {
        return;
    }
    if (panel == StepPanelIndex) {
        console_.PrintStatus(text);
    } else if (panel == PortPanelIndex) {
        // The port is named on the first line of the output already.
    } else {
        console_.PrintLine(text);
    }
}

}  // namespace vorlan::flash
