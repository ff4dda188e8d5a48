#include "terminal/terminal_views.h"

#include "engine/status_reporting.h"

namespace vorlan::flash {

void TerminalStatusBar::SetPanelText(int panel, const std::string& text) {
    // The port is named on the first line of the output already.
    if (panel < 0 || panel == PortPanelIndex) {
        return;
    }
    console_.PrintLine(text);
}

}  // namespace vorlan::flash
