#include "terminal/identify_run.h"

#include <cstdio>

#include "engine/link_state.h"
#include "engine/update_run.h"
#include "terminal/json_record.h"
#include "terminal/run_report.h"
#include "terminal/single_run.h"

namespace vorlan::flash {

namespace {

bool Found(const RunFacts& facts) {
    return facts.Board() != nullptr;
}

std::string Hex(unsigned value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, value);
    return text;
}

}  // namespace

std::string IdentityLine(const RunFacts& facts, bool fits) {
    if (!Found(facts))
        return facts.portName + ": FAILED - " + ResultSummary(facts);
    std::string line = RunWho(facts) + ": ";
    const RunStatistics& told = facts.result.facts;
    if (told.fullIdentity) {
        line += "board code " + std::to_string(told.board.boardCode) + ", preparation " +
                Hex(told.board.preparation, 2);
    } else {
        line += "board code and preparation not told (short answer)";
    }
    if (!told.releaseText.empty())
        line += ", release \"" + told.releaseText + "\"";
    if (facts.skipStart != 0) {
        line += ", skip window " + Hex(facts.skipStart, 4) + " to " +
                Hex(facts.skipStart + facts.skipLength, 4);
    }
    const std::string firmware = "the " + facts.firmwareName + " firmware";
    return line + (fits ? " - " + firmware + " fits it"
                        : " - " + firmware + " does not fit it: " + ResultSummary(facts));
}

std::string IdentityJson(const RunFacts& facts, bool fits) {
    // The result object's fields, with the verdict in place of the run's.
    JsonRecord json = RunRecord(facts, "identify", "");
    json["skip_window_start"] = facts.skipStart;
    json["skip_window_length"] = facts.skipLength;
    json["found"] = Found(facts);
    json["fits"] = Found(facts) && fits;
    if (!fits || !Found(facts))
        json["reason"] = JsonText(ResultSummary(facts));
    json["exit_status"] = facts.exitStatus;
    return OneLine(json);
}

int IdentifyBoard(FlashStation& station) {
    const double start = station.Seconds();
    RunResult result = IdentifyOnly(station.Progress(), station.Status());
    const bool fits = result.kind == RunEnd::Identified;
    RunFacts facts = station.FactsOfRun(std::move(result), station.Seconds() - start);
    const LinkState& link = Link();
    facts.skipStart =
        static_cast<std::uint32_t>(link.skipWindowStart[0] | link.skipWindowStart[1] << 8);
    facts.skipLength =
        static_cast<std::uint32_t>(link.skipWindowLength[0] | link.skipWindowLength[1] << 8);
    facts.exitStatus = facts.result.kind == RunEnd::UserAbort ? kExitStopped
                       : Found(facts)                         ? kExitSucceeded
                                                              : kExitFailed;
    station.PrintLine(
        station.Arguments().json ? IdentityJson(facts, fits) : IdentityLine(facts, fits), true);
    return facts.exitStatus;
}

}  // namespace vorlan::flash
