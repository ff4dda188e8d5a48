#include "ports/engine_binding.h"

#include "engine/status_reporting.h"
#include "ports/serial_driver.h"
#include "ports/status_notifier.h"

namespace vorlan {

EngineBinding::EngineBinding(Pause& pause, LinkPort& port) {
    BindPause(&pause);
    BindLinkPort(&port);
}

EngineBinding::~EngineBinding() {
    BindLinkPort(nullptr);
    BindPause(nullptr);
    CloseAllPorts();
    StopStatusNotifier();
    ResetStatusReporting();
}

}  // namespace vorlan
