// vorlan-flash: one update run from a terminal, with the engine, the catalogue
// and the ports of the desktop program. Prints each text of the run, a
// progress bar on a terminal and the result; exit status 0 when the board
// was programmed, 1 when the run failed, 2 for a usage error.
#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "catalogue/image_table.h"
#include "engine/link_port.h"
#include "engine/link_state.h"
#include "engine/pause.h"
#include "engine/status_reporting.h"
#include "engine/update_run.h"
#include "platform/com_naming.h"
#include "platform/console.h"
#include "ports/engine_binding.h"
#include "ports/port_enumeration.h"
#include "ports/port_selection.h"
#include "ports/port_setting.h"
#include "ports/serial_driver.h"
#include "ports/status_notifier.h"
#include "tools/flash/counting_port.h"
#include "tools/flash/flash_arguments.h"
#include "tools/flash/run_summary.h"
#include "tools/flash/terminal_console.h"
#include "tools/flash/terminal_pause.h"
#include "tools/flash/terminal_views.h"

namespace {

using vorlan::flash::FlashAction;
using vorlan::flash::FlashArguments;

constexpr int kExitSucceeded = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

double SteadySeconds() {
    using Clock = std::chrono::steady_clock;
    static const Clock::time_point start = Clock::now();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// "COM3 (/dev/ttyS2)", or "-----" when no port is chosen.
std::string PortDescription(std::int16_t portIndex) {
    const std::string name = vorlan::PortNameOfIndex(portIndex);
    if (portIndex < 0) {
        return name + " (none chosen)";
    }
    return name + " (" + vorlan::DevicePathOfCom(portIndex + 1) + ")";
}

// Why a port could not be opened, as the driver was told by the system.
std::string PortProblem(std::int16_t portIndex) {
    if (portIndex < 0) {
        return "no port is chosen; name one with --port COM<n>";
    }
    if (portIndex > vorlan::kHighestPortIndex) {
        return "only COM1 to COM" + std::to_string(vorlan::kHighestPortIndex + 1) + " can be used";
    }
    const vorlan::SerialStatus& error = vorlan::PortRecordAt(portIndex).openError;
    const std::string path = vorlan::DevicePathOfCom(portIndex + 1);
    std::error_code linkError;
    const std::filesystem::path target = std::filesystem::read_symlink(path, linkError);
    const std::string shown = linkError ? path : path + " -> " + target.string();
    if (error.kind == vorlan::SerialErrorKind::kBusy)
        return shown + " is in use by another program";
    if (error.message.empty())
        return shown + " is not a serial port";
    // The driver's message starts with the path; show where a link leads.
    if (!linkError && error.message.rfind(path, 0) == 0)
        return shown + error.message.substr(path.size());
    return error.message;
}

int ListPorts() {
    vorlan::PortList* list = vorlan::OpenPortList();
    char portName[vorlan::kPortTextBufferSize] = {};
    char friendlyName[vorlan::kPortTextBufferSize] = {};
    int count = 0;
    while (vorlan::NextPort(list, portName, friendlyName) == 1) {
        std::printf("%-7s %s\n", portName, friendlyName);
        ++count;
    }
    vorlan::ClosePortList(list);
    if (count == 0) {
        std::printf("No serial ports found (alias folder %s).\n",
                    vorlan::PortAliasFolder().c_str());
    }
    return kExitSucceeded;
}

int RunOnce(const FlashArguments& arguments) {
    const std::string buildVersion = VORLAN_BUILD_VERSION;
    const bool upgradeMode = vorlan::SelectsUpgradeWindow(buildVersion);

    vorlan::SelectedSerialPort serialPort;
    vorlan::flash::CountingPort port(serialPort);
    vorlan::flash::TerminalConsole console(
        stdout, vorlan::IsTerminal(stdout), SteadySeconds,
        [&port] { return port.BytesSent() + port.BytesReceived(); });

    // As at the desktop program's start: the Upgrade window first when the
    // build selects it, then the Updater window (which then stays hidden but
    // still receives the texts the engine writes to it).
    vorlan::flash::TerminalUpgradeWindow upgradeWindow(console);
    vorlan::flash::TerminalUpdaterWindow updaterWindow(console);
    vorlan::flash::TerminalPause pause;
    const vorlan::EngineBinding binding(pause, port);
    vorlan::ResetStatusReporting();
    if (upgradeMode)
        vorlan::RegisterUpgradeWindow(&upgradeWindow);
    vorlan::RegisterUpdaterWindow(&updaterWindow);

    // As the desktop program does for "\P": a bind failure ends start-up.
    if (arguments.notify) {
        vorlan::StartStatusNotifier(std::vector<std::string>{"vorlan-flash", "\\P"});
    }

    if (arguments.portIndex) {
        vorlan::SelectPortForNextRun(*arguments.portIndex);
    } else {
        vorlan::RestorePortFromSetting();
    }
    const std::int16_t portIndex = vorlan::CurrentPortIndex();
    vorlan::BuildImageTable();
    vorlan::flash::InstallStopOnInterrupt();

    std::printf("vorlan-flash, firmware build \"%s\", port %s\n", buildVersion.c_str(),
                PortDescription(portIndex).c_str());
    std::fflush(stdout);

    vorlan::flash::TerminalProgressBar progress(console);
    vorlan::StatusBarView& statusBar =
        upgradeMode ? upgradeWindow.StatusBar() : updaterWindow.StatusBar();
    const double start = SteadySeconds();
    const vorlan::RunOutcome outcome = vorlan::RunUpdate(progress, statusBar);
    const double seconds = SteadySeconds() - start;

    console.ClearBar();

    const bool succeeded = outcome == vorlan::RunOutcome::Succeeded;
    vorlan::flash::RunFacts facts;
    facts.succeeded = succeeded;
    facts.lastStatus = console.LastStatus();
    facts.portName = vorlan::PortNameOfIndex(portIndex);
    if (facts.lastStatus == "Invalid Port Com") {
        facts.portProblem = PortProblem(portIndex);
    }
    facts.chipIdentity = vorlan::Link().confirmed.chipIdentity;
    facts.boardCode = vorlan::Link().confirmed.boardCode;
    facts.imageEmpty = vorlan::CurrentImage().programLength <= 1;
    std::printf("Result after %.1f s: %s - %s\n", seconds, succeeded ? "OK" : "FAILED",
                vorlan::flash::ResultSummary(facts).c_str());
    std::fflush(stdout);
    if (arguments.stats) {
        std::fprintf(stderr, "stats seconds=%.6f sent=%llu received=%llu\n", seconds,
                     static_cast<unsigned long long>(port.BytesSent()),
                     static_cast<unsigned long long>(port.BytesReceived()));
    }
    return succeeded ? kExitSucceeded : kExitFailed;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> words(argv, argv + argc);
    const std::string programName = argc > 0 ? argv[0] : "vorlan-flash";
    const FlashArguments arguments = vorlan::flash::ParseFlashArguments(words);
    switch (arguments.action) {
        case FlashAction::UsageError:
            std::fprintf(stderr, "vorlan-flash: %s\nTry '%s --help'.\n", arguments.error.c_str(),
                         programName.c_str());
            return kExitUsage;
        case FlashAction::Help:
            std::fputs(vorlan::flash::UsageText(programName).c_str(), stdout);
            return kExitSucceeded;
        case FlashAction::List:
            return ListPorts();
        case FlashAction::Run:
            break;
    }
    try {
        return RunOnce(arguments);
    } catch (const std::exception& error) {
        std::fflush(stdout);
        std::fprintf(stderr, "vorlan-flash: %s\n", error.what());
        return kExitFailed;
    }
}
