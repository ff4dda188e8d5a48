#include "terminal/board_loop.h"

#include <cstdio>
#include <vector>

#include "ports/serial_driver.h"
#include "terminal/board_presence.h"
#include "terminal/json_record.h"
#include "terminal/parallel_runs.h"
#include "terminal/port_target.h"
#include "terminal/single_run.h"

namespace vorlan::flash {

namespace {

// The waiting line, redrawn in place on a terminal: "waiting for board #2 -
// 0:12".
class WaitingLine {
public:
    WaitingLine(FlashStation& station, std::string what)
        : station_(station), what_(std::move(what)) {}
    void Show(double seconds) {
        const auto whole = static_cast<long>(seconds);
        if (whole == shownSeconds_)
            return;
        shownSeconds_ = whole;
        char text[160];
        std::snprintf(text, sizeof text, "%s - %ld:%02ld", what_.c_str(), whole / 60, whole % 60);
        station_.Console().ShowWaiting(text);
    }

private:
    FlashStation& station_;
    std::string what_;
    long shownSeconds_ = -1;
};

}  // namespace

std::string LoopTallyLine(const std::string& port, const LoopTally& tally, bool json,
                          int exitStatus) {
    const int boards = tally.programmed + tally.failed;
    if (json) {
        JsonRecord record;
        record["event"] = "loop_end";
        record["port"] = JsonText(port);
        record["boards"] = boards;
        record["programmed"] = tally.programmed;
        record["failed"] = tally.failed;
        record["exit_status"] = exitStatus;
        return OneLine(record);
    }
    return port + ": " + std::to_string(boards) + (boards == 1 ? " board" : " boards") + " - " +
           std::to_string(tally.programmed) + " programmed, " + std::to_string(tally.failed) +
           " failed";
}

int RunBoardAfterBoard(FlashStation& station) {
    const FlashArguments& arguments = station.Arguments();
    LoopTally tally;
    std::vector<int> statuses;
    bool stoppedInRun = false;
    const bool opened = station.OpenPort();
    // A port that is not there yet (the jig's adapter still to be plugged in)
    // is waited for like one that vanished; any other fault ends the loop.
    const bool missing =
        !opened && PortRecordAt(station.PortIndex()).openError.kind == SerialErrorKind::kNotFound;
    if (missing && station.PrintsText()) {
        station.Console().PrintLine(PortProblem(station.PortIndex()));
        station.Console().PrintLine("Waiting for " + station.Label() + " to appear");
    }
    if (!opened && !missing) {
        RunFacts facts = station.PortFailure();
        station.Report(facts);
        statuses.push_back(facts.exitStatus);
    } else {
        const auto pulse = [&station] { station.PulseReset(); };
        for (int number = 1; arguments.count == 0 || number <= arguments.count; ++number) {
            if (!station.SerialLeft()) {
                station.Console().PrintLine("The serial numbers are used up; the loop ends");
                break;
            }
            if (station.PrintsText())
                station.Console().PrintLine("Waiting for board #" + std::to_string(number) +
                                            " (reset or switch it on; Ctrl-C ends the loop)");
            WaitingLine next(station, "waiting for board #" + std::to_string(number));
            const Presence arrived =
                WaitForBoard(station.PortIndex(), station.SearchByte(), station.EnginePause(),
                             pulse, [&next](double seconds) { next.Show(seconds); });
            station.Console().ClearBar();
            if (arrived == Presence::kStopped)
                break;
            const std::optional<RunFacts> run = station.ProgramBoard(number, tally);
            if (!run)
                break;  // no serial number left for it
            const RunFacts& facts = *run;
            statuses.push_back(facts.exitStatus);
            if (facts.exitStatus == kExitStopped) {
                stoppedInRun = true;
                break;
            }
            if (arguments.count > 0 && number == arguments.count)
                break;
            if (station.PrintsText())
                station.Console().PrintLine("Take board #" + std::to_string(number) + " away");
            WaitingLine gone(station, "waiting for board #" + std::to_string(number) + " to go");
            const Presence left =
                WaitUntilBoardGone(station.PortIndex(), station.SearchByte(), station.EnginePause(),
                                   [&gone](double seconds) { gone.Show(seconds); });
            station.Console().ClearBar();
            if (left == Presence::kStopped)
                break;
        }
    }
    // Ctrl-C while waiting ends the loop as --count does: what counts is
    // whether a board failed.
    const int status = stoppedInRun ? kExitStopped : CombinedExitStatus(statuses);
    station.PrintLine(LoopTallyLine(station.Label(), tally, arguments.json, status), true);
    return status;
}

}  // namespace vorlan::flash
