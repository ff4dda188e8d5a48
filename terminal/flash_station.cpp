#include "terminal/flash_station.h"

#include <cstdio>
#include <stdexcept>

#include "app/desktop_startup.h"
#include "catalogue/image_table.h"
#include "engine/device_search.h"
#include "engine/run_plan.h"
#include "engine/status_reporting.h"
#include "engine/update_run.h"
#include "platform/com_naming.h"
#include "platform/console.h"
#include "ports/port_setting.h"
#include "ports/status_notifier.h"
#include "terminal/board_presence.h"
#include "terminal/json_record.h"
#include "terminal/port_target.h"
#include "terminal/run_log.h"
#include "terminal/run_report.h"
#include "terminal/run_trace_file.h"
#include "terminal/single_run.h"

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

}  // namespace

FlashStation::FlashStation(const FlashArguments& arguments, const std::string& buildVersion,
                           std::function<double()> seconds, HexFirmware& firmware)
    : arguments_(arguments),
      buildVersion_(buildVersion),
      seconds_(std::move(seconds)),
      upgradeMode_(SelectsUpgradeWindow(buildVersion)),
      port_(serialPort_),
      console_(stdout, IsTerminal(stdout), seconds_,
               [this] { return port_.BytesSent() + port_.BytesReceived(); }),
      upgradeWindow_(console_),
      updaterWindow_(console_),
      binding_(pause_, port_),
      progress_(console_) {
    // The desktop program's main windows in its order (the Updater window of
    // an Upgrade build stays hidden but still receives the engine's texts).
    ResetStatusReporting();
    for (const MainWindowKind kind : MainWindowsOf(buildVersion)) {
        if (kind == MainWindowKind::kUpgrade) {
            RegisterUpgradeWindow(&upgradeWindow_);
        } else {
            RegisterUpdaterWindow(&updaterWindow_);
        }
    }

    // As the desktop program does for "\P": a bind failure ends start-up.
    if (arguments.notify)
        EnsureStatusNotifier();

    label_ = ChoosePort(arguments);
    portIndex_ = CurrentPortIndex();
    if (arguments.json)
        console_.WriteJsonSteps(label_);
    if (arguments.quiet)
        console_.Silence();
    if (arguments.records)
        console_.WriteRecords();
    BuildImageTable();
    InstallHexFirmware(firmware);
    if (std::string problem; !serials_.Open(arguments, firmware, problem))
        throw std::runtime_error(problem);
    serials_.TellNotes();
    serials_.TakeOverImages();
    firmwareName_ = FirmwareName(firmware);
    SetTraceHeader("vorlan-flash " + std::string(VORLAN_PROJECT_VERSION), buildVersion_,
                   firmwareName_);
    InstallStopOnInterrupt();
    // A run for one port of a call with several stops (and gives its serial
    // number back) when the call ends, even by a kill -9.
    if (arguments.records)
        StopWhenParentEnds();
}

StatusBarView& FlashStation::Status() {
    return upgradeMode_ ? upgradeWindow_.StatusBar() : updaterWindow_.StatusBar();
}

std::uint8_t FlashStation::SearchByte() const {
    return vorlan::SearchByte();
}

void FlashStation::PrintLine(const std::string& line, bool result) {
    console_.ClearBar();
    // A JSON object is a record as it is.
    const bool asRecord = arguments_.records && !arguments_.json;
    std::fputs(((asRecord ? LineRecord(line, result) : line) + "\n").c_str(), stdout);
    std::fflush(stdout);
}

void FlashStation::PrintStart() {
    if (PrintsText()) {
        PrintLine("vorlan-flash, firmware build \"" + buildVersion_ + "\", port " +
                  PortDescription(label_, portIndex_));
    } else if (arguments_.json && !arguments_.quiet) {
        JsonRecord json;
        json["event"] = "start";
        json["port"] = JsonText(label_);
        json["com"] = PortNameOfIndex(portIndex_);
        json["device"] = JsonText(DeviceOfPort(portIndex_));
        json["firmware_build"] = JsonText(buildVersion_);
        json["firmware"] = JsonText(firmwareName_);
        PrintLine(OneLine(json));
    }
}

std::optional<RunFacts> FlashStation::ProgramBoard(int boardNumber, LoopTally& tally) {
    const double start = seconds_();
    if (std::string problem; !serials_.StartBoard(problem)) {
        std::fprintf(stderr, "vorlan-flash: %s\n", problem.c_str());
        return std::nullopt;
    }
    RunResult result = RunUpdate(progress_, Status());
    console_.ClearBar();
    RunFacts facts = FactsOfRun(std::move(result), seconds_() - start);
    serials_.EndBoard(facts);
    if (boardNumber > 0) {
        ++(facts.Succeeded() ? tally.programmed : tally.failed);
        facts.boardNumber = boardNumber;
        facts.tally = tally;
    }
    KeepRunTrace(arguments_, facts);
    Report(facts);
    return facts;
}

RunFacts FlashStation::FactsOfRun(RunResult result, double seconds) {
    RunFacts facts;
    facts.result = std::move(result);
    // This program tells more of a port than the desktop program does.
    if (facts.result.kind == RunEnd::InvalidPort)
        facts.result.portProblem = PortProblem(portIndex_);
    facts.seconds = seconds;
    facts.portName = label_;
    facts.comName = PortNameOfIndex(portIndex_);
    facts.devicePath = DeviceOfPort(portIndex_);
    facts.firmwareBuild = buildVersion_;
    facts.skipStart = CurrentRunPlan().skipStart;
    facts.skipLength = CurrentRunPlan().skipLength;
    facts.firmwareName = firmwareName_;
    facts.exitStatus = ExitStatusOf(facts.result);
    return facts;
}

RunFacts FlashStation::PortFailure() {
    console_.ClearBar();
    RunResult failure;
    failure.kind = RunEnd::InvalidPort;
    return FactsOfRun(std::move(failure), 0);
}

void FlashStation::Report(RunFacts& facts) {
    // The log records the run; its own failure can only be told here.
    if (!arguments_.logFile.empty()) {
        const std::string problem =
            AppendLogLine(arguments_.logFile, ResultJson(facts, UtcTimestamp()));
        if (!problem.empty()) {
            std::fprintf(stderr, "vorlan-flash: the result was not added to the log %s: %s\n",
                         arguments_.logFile.c_str(), problem.c_str());
            if (facts.exitStatus == kExitSucceeded)
                facts.exitStatus = kExitNotLogged;
        }
    }
    if (!facts.serialProblem.empty())
        std::fprintf(stderr, "vorlan-flash: %s\n", facts.serialProblem.c_str());
    if (PrintsText() && !SkipNote(facts).empty())
        PrintLine(SkipNote(facts));
    PrintLine(arguments_.json ? ResultJson(facts) : ResultLine(facts), true);
}

bool FlashStation::OpenPort() {
    port_.ReopenSelected();
    if (port_.Check() < 0)
        return false;
    PulseReset();
    return true;
}

void FlashStation::PulseReset() {
    if (arguments_.reset == FlashArguments::ResetLine::kNone)
        return;
    const std::string problem =
        PulseModemLine(portIndex_, arguments_.reset == FlashArguments::ResetLine::kDtr, pause_);
    if (!problem.empty())
        console_.PrintLine(problem);
}

}  // namespace vorlan::flash
