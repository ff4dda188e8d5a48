#include "terminal/run_trace_file.h"

#include <cstdio>

#include "engine/run_trace.h"
#include "engine/trace_text.h"
#include "platform/trace_folder.h"
#include "ports/trace_store.h"

namespace vorlan::flash {

void SetTraceHeader(const std::string& program, const std::string& buildVersion,
                    const std::string& firmwareName) {
    RunTrace& trace = CurrentRunTrace();
    trace.SetHeader("program", program);
    trace.SetHeader("build", buildVersion);
    trace.SetHeader("system", SystemName());
    trace.SetHeader("firmware", firmwareName);
}

void KeepRunTrace(const FlashArguments& arguments, RunFacts& facts) {
    if (!TracingOn())
        return;
    const bool asked = !arguments.traceFile.empty();
    if (!asked && facts.Succeeded())
        return;
    RunTrace& trace = CurrentRunTrace();
    const bool named = facts.portName == facts.comName;
    trace.SetHeader("port",
                    facts.portName + (named ? "" : " " + facts.comName) + " " + facts.devicePath);
    const std::string text = TraceText(trace);
    TraceSave save;
    if (!asked) {
        save = SaveRunTrace(text, facts.portName, facts.boardNumber);
    } else if (facts.boardNumber > 0) {
        save = WriteTraceFile(TraceFileOf(arguments.traceFile, facts.portName, facts.boardNumber),
                              text);
    } else {
        save = WriteTraceFile(arguments.traceFile, text);
    }
    facts.tracePath = save.path;
    if (save.tell) {
        std::fprintf(stderr, "vorlan-flash: %s (the run's result stands)\n", save.problem.c_str());
    }
}

}  // namespace vorlan::flash
