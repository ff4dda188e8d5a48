#include "tools/flash/identify_run.h"

#include <cstdio>

#include "catalogue/board_names.h"
#include "catalogue/chip_family.h"
#include "catalogue/image_table.h"
#include "engine/device_search.h"
#include "engine/identification.h"
#include "engine/link_state.h"
#include "engine/run_statistics.h"
#include "engine/status_reporting.h"
#include "tools/flash/json_line.h"
#include "tools/flash/run_report.h"
#include "tools/flash/single_run.h"

namespace vorlan::flash {

namespace {

bool Found(const RunFacts& facts) {
    return facts.chipIdentity != 0;
}

std::string Hex(unsigned value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, value);
    return text;
}

std::string Reason(const RunFacts& facts) {
    RunFacts refused = facts;
    refused.succeeded = false;
    return ResultSummary(refused);
}

}  // namespace

std::string IdentityLine(const RunFacts& facts, bool fits) {
    if (!Found(facts))
        return facts.portName + ": FAILED - " + Reason(facts);
    std::string line = ResultLine(facts);
    line = line.substr(0, line.find(": ")) + ": ";
    if (facts.fullIdentity) {
        line += "board code " + std::to_string(facts.boardCode) + ", preparation " +
                Hex(facts.preparation, 2);
    } else {
        line += "board code and preparation not told (short answer)";
    }
    if (!facts.releaseText.empty())
        line += ", release \"" + facts.releaseText + "\"";
    if (facts.skipStart != 0) {
        line += ", skip window " + Hex(facts.skipStart, 4) + " to " +
                Hex(facts.skipStart + facts.skipLength, 4);
    }
    const std::string firmware = "the " + facts.firmwareName + " firmware";
    return line + (fits ? " - " + firmware + " fits it"
                        : " - " + firmware + " does not fit it: " + Reason(facts));
}

std::string IdentityJson(const RunFacts& facts, bool fits) {
    // The result object's fields, with the verdict in place of the run's.
    std::string result = ResultJson(facts);
    const std::string from = R"({"event":"result",)";
    result = R"({"event":"identify",)" + result.substr(from.size());
    result = result.substr(0, result.find(R"(,"blocks_sent":)"));
    JsonLine verdict;
    verdict.Integer("skip_window_start", facts.skipStart)
        .Integer("skip_window_length", facts.skipLength)
        .Boolean("found", Found(facts))
        .Boolean("fits", Found(facts) && fits);
    if (!fits || !Found(facts))
        verdict.Text("reason", Reason(facts));
    verdict.Integer("exit_status", facts.exitStatus);
    const std::string fields = verdict.Object();
    return result + "," + fields.substr(1);
}

int IdentifyBoard(FlashStation& station) {
    const double start = station.Seconds();
    // As a start button's run, without the programming run.
    Link().stopRequest = false;
    ResetRunStatistics();
    const bool found = SearchDevice(station.Progress(), station.Status()) == kSearchFound;
    const bool fits =
        found && IdentifyDevice(station.Progress(), station.Status(), ImageIdentity());
    ShowIdleButtons();
    RunFacts facts = station.FactsOfRun(false, station.Seconds() - start);
    const LinkState& link = Link();
    facts.skipStart =
        static_cast<std::uint32_t>(link.skipWindowStart[0] | link.skipWindowStart[1] << 8);
    facts.skipLength =
        static_cast<std::uint32_t>(link.skipWindowLength[0] | link.skipWindowLength[1] << 8);
    facts.exitStatus = StoppedByUser(facts) ? kExitStopped
                       : Found(facts)       ? kExitSucceeded
                                            : kExitFailed;
    station.PrintLine(station.Arguments().json ? IdentityJson(facts, fits)
                                               : IdentityLine(facts, fits));
    return facts.exitStatus;
}

}  // namespace vorlan::flash
