// Why "Invalid Port Com": the reason the port selection gives goes where a
// person finds it, beside the text itself: as the tooltip of the place that
// shows the text (the Upgrade window's step panel, else the Updater window's
// result line) and as a line on standard error. UI thread only.
#pragma once

#include <string>

namespace vorlan {

// Makes the port selection tell this display after every open it makes. The
// main windows call it while they are built; calling it again changes nothing.
void InstallPortProblemDisplay();

// An empty problem takes the tooltips away again (the port opened).
void ShowPortProblem(const std::string& problem);

// A note in the same tooltip beside the result, without the line on standard
// error: the blocks a successful run left out as the board asked. Empty takes
// it away.
void ShowResultTip(const std::string& tip);

}  // namespace vorlan
