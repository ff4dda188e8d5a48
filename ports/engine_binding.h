// What a program binds into the process for its runs, and undoes at its end:
// the engine's pause and link port. The port is bound inside a TracePort, and
// the driver's port events and a steady clock go to the run trace, so every
// program's runs are recorded. Ending also closes every port, ends the
// status notifier (its thread must not outlive main) and forgets the windows
// registered with the status operations. The desktop program and vorlan-flash
// hold one for as long as they run, also when start-up throws. UI thread only.
#pragma once

#include "engine/link_port.h"
#include "engine/pause.h"
#include "engine/trace_port.h"

namespace vorlan {

class EngineBinding {
public:
    EngineBinding(Pause& pause, LinkPort& port);
    ~EngineBinding();
    EngineBinding(const EngineBinding&) = delete;
    EngineBinding& operator=(const EngineBinding&) = delete;

private:
    TracePort tracePort_;
};

}  // namespace vorlan
