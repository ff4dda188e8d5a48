// vorlan-flash: update runs from a terminal, with the engine, the catalogue
// and the ports of the desktop program. One port runs in this process;
// several run in parallel, one child process each. Exit statuses in
// single_run.h and --help.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "catalogue/version_list.h"
#include "engine/run_trace.h"
#include "platform/com_naming.h"
#include "ports/port_enumeration.h"
#include "terminal/firmware_table.h"
#include "terminal/flash_arguments.h"
#include "terminal/parallel_runs.h"
#include "terminal/single_run.h"
#include "terminal/trace_explainer.h"

namespace {

using vorlan::flash::FlashAction;
using vorlan::flash::FlashArguments;

double SteadySeconds() {
    using Clock = std::chrono::steady_clock;
    static const Clock::time_point start = Clock::now();
    return std::chrono::duration<double>(Clock::now() - start).count();
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
        // Windows has no alias folder; its ports are the system's COM names.
        const std::string folder = vorlan::PortAliasFolder();
        if (folder.empty()) {
            std::printf("No serial ports found.\n");
        } else {
            std::printf("No serial ports found (alias folder %s).\n", folder.c_str());
        }
    }
    return vorlan::flash::kExitSucceeded;
}

// The lines of the Version list window: the images built into this program.
void PrintFirmware(const char* indent) {
    for (const std::string& line : vorlan::flash::FirmwareTable(vorlan::FillVersionList())) {
        std::printf("%s%s\n", indent, line.c_str());
    }
}

void PrintVersion() {
    std::printf("vorlan-flash %s\nfirmware build \"%s\"\nbuilt-in images:\n",
                VORLAN_PROJECT_VERSION, VORLAN_BUILD_VERSION);
    PrintFirmware("  ");
}

}  // namespace

int main(int argc, char** argv) {
    SteadySeconds();  // the clock of the JSON steps starts with the program
    const std::vector<std::string> words(argv, argv + argc);
    // The name the user typed, without the folder (on Windows argv[0] is the
    // whole path, Z:\...\vorlan-flash.exe under wine).
    const std::string programName = argc > 0 && argv[0][0] != '\0'
                                        ? std::filesystem::path(argv[0]).filename().string()
                                        : "vorlan-flash";
    const FlashArguments arguments = vorlan::flash::ParseFlashArguments(words);
    switch (arguments.action) {
        case FlashAction::UsageError:
            std::fprintf(stderr, "vorlan-flash: %s\nTry '%s --help'.\n", arguments.error.c_str(),
                         programName.c_str());
            return vorlan::flash::kExitUsage;
        case FlashAction::Help:
            std::fputs(vorlan::flash::UsageText(programName).c_str(), stdout);
            return vorlan::flash::kExitSucceeded;
        case FlashAction::List:
            return ListPorts();
        case FlashAction::Firmware:
            PrintFirmware("");
            return vorlan::flash::kExitSucceeded;
        case FlashAction::Version:
            PrintVersion();
            return vorlan::flash::kExitSucceeded;
        case FlashAction::Explain:
            return vorlan::flash::ExplainTraceFile(arguments.explainFile, arguments.json);
        case FlashAction::Run:
            break;
    }
    // For measuring what the trace costs (scripts/bench.sh); not for users.
    if (const char* off = std::getenv("VORLAN_NO_TRACE"); off != nullptr && off[0] == '1')
        vorlan::SetTracing(false);
    vorlan::flash::HexFirmware firmware;
    if (!vorlan::flash::CheckBeforeAnyPort(arguments, firmware))
        return vorlan::flash::kExitUsage;
    try {
        if (arguments.ports.size() > 1)
            return vorlan::flash::RunOnEveryPort(arguments, SteadySeconds);
        return vorlan::flash::RunOneBoard(arguments, VORLAN_BUILD_VERSION, SteadySeconds, firmware);
    } catch (const std::exception& error) {
        std::fflush(stdout);
        std::fprintf(stderr, "vorlan-flash: %s\n", error.what());
        return vorlan::flash::kExitFailed;
    }
}
