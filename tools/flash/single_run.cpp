#include "tools/flash/single_run.h"

#include <cstdio>

#include "catalogue/image_table.h"
#include "engine/link_state.h"
#include "engine/run_plan.h"
#include "engine/run_statistics.h"
#include "engine/status_reporting.h"
#include "engine/update_run.h"
#include "platform/com_naming.h"
#include "platform/console.h"
#include "ports/engine_binding.h"
#include "ports/port_selection.h"
#include "ports/port_setting.h"
#include "ports/status_notifier.h"
#include "tools/flash/counting_port.h"
#include "tools/flash/json_line.h"
#include "tools/flash/port_target.h"
#include "tools/flash/run_log.h"
#include "tools/flash/run_report.h"
#include "tools/flash/terminal_console.h"
#include "tools/flash/terminal_pause.h"
#include "tools/flash/terminal_views.h"

namespace vorlan::flash {

namespace {

// Chooses the run's port; returns how the user named it.
std::string ChoosePort(const FlashArguments& arguments) {
    if (arguments.ports.empty()) {
        RestorePortFromSetting();
        return PortNameOfIndex(CurrentPortIndex());
    }
    const PortArgument& port = arguments.ports.front();
    const int index =
        port.comIndex ? *port.comIndex : ComNumberForDevice(port.label, PortAliasFolder()) - 1;
    SelectPortForNextRun(static_cast<std::int16_t>(index));
    return port.label;
}

void PrintLine(const std::string& line) {
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}

}  // namespace

int RunOneBoard(const FlashArguments& arguments, const std::string& buildVersion,
                const std::function<double()>& seconds) {
    const bool upgradeMode = SelectsUpgradeWindow(buildVersion);
    const bool text = !arguments.json && !arguments.quiet;

    SelectedSerialPort serialPort;
    CountingPort port(serialPort);
    TerminalConsole console(stdout, IsTerminal(stdout), seconds,
                            [&port] { return port.BytesSent() + port.BytesReceived(); });

    // As at the desktop program's start: the Upgrade window first when the
    // build selects it, then the Updater window (which then stays hidden but
    // still receives the texts the engine writes to it).
    TerminalUpgradeWindow upgradeWindow(console);
    TerminalUpdaterWindow updaterWindow(console);
    TerminalPause pause;
    const EngineBinding binding(pause, port);
    ResetStatusReporting();
    if (upgradeMode)
        RegisterUpgradeWindow(&upgradeWindow);
    RegisterUpdaterWindow(&updaterWindow);

    // As the desktop program does for "\P": a bind failure ends start-up.
    if (arguments.notify)
        StartStatusNotifier(std::vector<std::string>{"vorlan-flash", "\\P"});

    const std::string label = ChoosePort(arguments);
    const std::int16_t portIndex = CurrentPortIndex();
    if (arguments.json)
        console.WriteJsonSteps(label);
    if (arguments.quiet)
        console.Silence();
    BuildImageTable();
    InstallStopOnInterrupt();

    if (text) {
        PrintLine("vorlan-flash, firmware build \"" + buildVersion + "\", port " +
                  PortDescription(label, portIndex));
    } else if (arguments.json && !arguments.quiet) {
        PrintLine(JsonLine()
                      .Text("event", "start")
                      .Text("port", label)
                      .Text("com", PortNameOfIndex(portIndex))
                      .Text("device", DeviceOfPort(portIndex))
                      .Text("firmware_build", buildVersion)
                      .Object());
    }

    TerminalProgressBar progress(console);
    StatusBarView& statusBar = upgradeMode ? upgradeWindow.StatusBar() : updaterWindow.StatusBar();
    const double start = seconds();
    const RunOutcome outcome = RunUpdate(progress, statusBar);
    console.ClearBar();

    RunFacts facts;
    facts.seconds = seconds() - start;
    facts.succeeded = outcome == RunOutcome::Succeeded;
    facts.lastStatus = console.LastStatus();
    facts.portName = label;
    if (facts.lastStatus == "Invalid Port Com")
        facts.portProblem = PortProblem(portIndex);
    facts.releaseText = updaterWindow.ReleaseLine();
    facts.imageEmpty = CurrentImage().programLength <= 1;
    facts.comName = PortNameOfIndex(portIndex);
    facts.devicePath = DeviceOfPort(portIndex);
    facts.firmwareBuild = buildVersion;
    facts.statistics = CurrentRunStatistics();
    // The board as identified, not what the line said after it.
    if (facts.statistics.boardIdentified) {
        const DeviceIdentity& board = facts.statistics.board;
        facts.chipIdentity = board.chipIdentity;
        facts.boardCode = board.boardCode;
        facts.biosByte = board.biosByte;
        facts.preparation = board.preparation;
        facts.fullIdentity = facts.statistics.fullIdentity;
    }
    facts.skipStart = CurrentRunPlan().skipStart;
    facts.skipLength = CurrentRunPlan().skipLength;
    facts.exitStatus = facts.succeeded        ? kExitSucceeded
                       : StoppedByUser(facts) ? kExitStopped
                                              : kExitFailed;

    // The log records the run; its own failure can only be told here.
    if (!arguments.logFile.empty()) {
        const std::string problem =
            AppendLogLine(arguments.logFile, ResultJson(facts, UtcTimestamp()));
        if (!problem.empty()) {
            std::fprintf(stderr, "vorlan-flash: the result was not added to the log %s: %s\n",
                         arguments.logFile.c_str(), problem.c_str());
            if (facts.exitStatus == kExitSucceeded)
                facts.exitStatus = kExitNotLogged;
        }
    }
    if (text && !SkipNote(facts).empty())
        PrintLine(SkipNote(facts));
    PrintLine(arguments.json ? ResultJson(facts) : ResultLine(facts));
    if (arguments.stats) {
        std::fprintf(stderr, "stats seconds=%.6f sent=%llu received=%llu\n", facts.seconds,
                     static_cast<unsigned long long>(port.BytesSent()),
                     static_cast<unsigned long long>(port.BytesReceived()));
    }
    return facts.exitStatus;
}

}  // namespace vorlan::flash
