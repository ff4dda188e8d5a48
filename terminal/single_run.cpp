#include "terminal/single_run.h"

#include <cstdio>

#include "terminal/board_loop.h"
#include "terminal/board_serials.h"
#include "terminal/flash_station.h"
#include "terminal/hex_firmware.h"
#include "terminal/identify_run.h"
#include "terminal/run_log.h"

namespace vorlan::flash {

bool CheckBeforeAnyPort(const FlashArguments& arguments, HexFirmware& firmware) {
    std::string problem;
    if (!ReadHexFirmware(arguments, firmware, problem) ||
        !(problem = LogProblem(arguments.logFile)).empty()) {
        std::fprintf(stderr, "vorlan-flash: %s\n", problem.c_str());
        return false;
    }
    for (const std::string& note : firmware.notes)
        std::fprintf(stderr, "vorlan-flash: %s\n", note.c_str());
    // The serial numbers are counted, and crashed runs' numbers recovered,
    // once for the whole call.
    BoardSerials serials;
    if (!serials.Open(arguments, firmware, problem)) {
        std::fprintf(stderr, "vorlan-flash: %s\n", problem.c_str());
        return false;
    }
    serials.TellNotes();
    return true;
}

int RunOneBoard(const FlashArguments& arguments, const std::string& buildVersion,
                const std::function<double()>& seconds, HexFirmware& firmware) {
    FlashStation station(arguments, buildVersion, seconds, firmware);
    station.PrintStart();
    if (arguments.identify)
        return IdentifyBoard(station);
    if (arguments.loop)
        return RunBoardAfterBoard(station);

    LoopTally noLoop;
    RunFacts facts;
    if (arguments.reset != FlashArguments::ResetLine::kNone && !station.OpenPort()) {
        facts = station.PortFailure();
        station.Report(facts);
    } else {
        const std::optional<RunFacts> run = station.ProgramBoard(0, noLoop);
        if (!run)
            return kExitFailed;
        facts = *run;
    }
    if (arguments.stats) {
        std::fprintf(stderr, "stats seconds=%.6f sent=%llu received=%llu\n", facts.seconds,
                     static_cast<unsigned long long>(station.BytesSent()),
                     static_cast<unsigned long long>(station.BytesReceived()));
    }
    return facts.exitStatus;
}

}  // namespace vorlan::flash
