// Where the traces of failed runs are kept, and the name of the system for a
// trace's header.
#pragma once

#include <string>

namespace vorlan {

// Linux: $XDG_STATE_HOME/vorlan/traces, by default ~/.local/state/vorlan/traces;
// Windows: %LOCALAPPDATA%\Vorlan\traces. Empty when no home is known. The
// folder is not created here.
std::string TraceFolder();

// "Linux 6.1.0-18-amd64 x86_64", "Windows 10.0.19045", "Windows 10.0 (wine 9.0)".
std::string SystemName();

}  // namespace vorlan
