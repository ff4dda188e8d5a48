#include "ports/engine_binding.h"

#include <chrono>

#include "engine/run_trace.h"
#include "engine/status_reporting.h"
#include "ports/serial_driver.h"
#include "ports/status_notifier.h"

namespace vorlan {

EngineBinding::EngineBinding(Pause& pause, LinkPort& port) : tracePort_(port) {
    BindPause(&pause);
    BindLinkPort(&tracePort_);
    SetTraceClock([] {
        using Clock = std::chrono::steady_clock;
        return std::chrono::duration_cast<std::chrono::microseconds>(
                   Clock::now().time_since_epoch())
            .count();
    });
    SetPortEventSink([](const std::string& text) { TraceEvent(text); });
}

EngineBinding::~EngineBinding() {
    BindLinkPort(nullptr);
    BindPause(nullptr);
    CloseAllPorts();
    SetPortEventSink(nullptr);
    SetTraceClock(nullptr);
    StopStatusNotifier();
    ResetStatusReporting();
}

}  // namespace vorlan
