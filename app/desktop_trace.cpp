#include "app/desktop_trace.h"

#include <cstdio>

#include "app/build_version.h"
#include "engine/run_trace.h"
#include "engine/trace_text.h"
#include "platform/com_naming.h"
#include "platform/trace_folder.h"
#include "ports/port_selection.h"
#include "ports/trace_store.h"

namespace vorlan {

std::string KeepDesktopRunTrace(const RunResult& result) {
    const bool failed = !result.Succeeded() && result.kind != RunEnd::NotStarted &&
                        result.kind != RunEnd::Identified;
    if (!failed || !TracingOn())
        return "";
    const std::string port = PortNameOfIndex(CurrentPortIndex());
    RunTrace& trace = CurrentRunTrace();
    trace.SetHeader("program", "vorlan");
    trace.SetHeader("build", BuildVersion());
    trace.SetHeader("system", SystemName());
    trace.SetHeader("port", port + " " + DevicePathOfCom(CurrentPortIndex() + 1));
    const TraceSave save = SaveRunTrace(TraceText(trace), port, 0);
    if (save.path.empty()) {
        if (save.tell)
            std::fprintf(stderr, "vorlan: %s (the run's result stands)\n", save.problem.c_str());
        return "";
    }
    std::fprintf(stderr, "vorlan: the failed run's trace: %s\n", save.path.c_str());
    return "trace: " + save.path;
}

}  // namespace vorlan
