#include "tools/flash/flash_station.h"

#include <cstdio>

#include "app/desktop_startup.h"
#include "catalogue/chip_family.h"
#include "catalogue/image_table.h"
#include "engine/device_search.h"
#include "engine/link_state.h"
#include "engine/run_plan.h"
#include "engine/run_statistics.h"
#include "engine/status_reporting.h"
#include "engine/update_run.h"
#include "platform/com_naming.h"
#include "platform/console.h"
#include "ports/port_setting.h"
#include "ports/status_notifier.h"
#include "tools/flash/board_presence.h"
#include "tools/flash/image_crc.h"
#include "tools/flash/json_line.h"
#include "tools/flash/port_target.h"
#include "tools/flash/run_log.h"
#include "tools/flash/run_report.h"
#include "tools/flash/single_run.h"

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
    BuildImageTable();
    InstallHexFirmware(firmware);
    firmwareName_ = FirmwareName(firmware);
    InstallStopOnInterrupt();
}

StatusBarView& FlashStation::Status() {
    return upgradeMode_ ? upgradeWindow_.StatusBar() : updaterWindow_.StatusBar();
}

std::uint8_t FlashStation::SearchByte() const {
    return vorlan::SearchByte();
}

void FlashStation::PrintLine(const std::string& line) {
    console_.ClearBar();
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}

void FlashStation::PrintStart() {
    if (PrintsText()) {
        PrintLine("vorlan-flash, firmware build \"" + buildVersion_ + "\", port " +
                  PortDescription(label_, portIndex_));
    } else if (arguments_.json && !arguments_.quiet) {
        PrintLine(JsonLine()
                      .Text("event", "start")
                      .Text("port", label_)
                      .Text("com", PortNameOfIndex(portIndex_))
                      .Text("device", DeviceOfPort(portIndex_))
                      .Text("firmware_build", buildVersion_)
                      .Text("firmware", firmwareName_)
                      .Object());
    }
}

RunFacts FlashStation::ProgramBoard(int boardNumber, LoopTally& tally) {
    const double start = seconds_();
    const RunOutcome outcome = RunUpdate(progress_, Status());
    console_.ClearBar();
    RunFacts facts = FactsOfRun(outcome == RunOutcome::Succeeded, seconds_() - start);
    if (boardNumber > 0) {
        ++(facts.succeeded ? tally.programmed : tally.failed);
        facts.boardNumber = boardNumber;
        facts.tally = tally;
    }
    Report(facts);
    return facts;
}

RunFacts FlashStation::FactsOfRun(bool succeeded, double seconds) {
    RunFacts facts;
    facts.seconds = seconds;
    facts.succeeded = succeeded;
    facts.lastStatus = console_.LastStatus();
    facts.portName = label_;
    if (facts.lastStatus == "Invalid Port Com")
        facts.portProblem = PortProblem(portIndex_);
    facts.releaseText = updaterWindow_.ReleaseLine();
    facts.imageEmpty = CurrentImage().programLength <= 1;
    facts.comName = PortNameOfIndex(portIndex_);
    facts.devicePath = DeviceOfPort(portIndex_);
    facts.firmwareBuild = buildVersion_;
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
    facts.firmwareName = firmwareName_;
    // An image was chosen once the identification planned what to send.
    if (CurrentRunPlan().sendLength > 0 && CurrentImage().programLength > 1) {
        facts.imageCrc = ImageCrc(CurrentImage(), CurrentRunPlan().sendLength,
                                  CurrentFamilyParameters().jumpBlockLength);
    }
    facts.exitStatus = facts.succeeded        ? kExitSucceeded
                       : StoppedByUser(facts) ? kExitStopped
                                              : kExitFailed;
    return facts;
}

RunFacts FlashStation::PortFailure() {
    console_.ClearBar();
    return FactsOfRun(false, 0);
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
    if (PrintsText() && !SkipNote(facts).empty())
        PrintLine(SkipNote(facts));
    PrintLine(arguments_.json ? ResultJson(facts) : ResultLine(facts));
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
