#include "tools/flash/run_summary.h"

namespace vorlan::flash {

namespace {

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        return "";
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The search's own texts: the last text is one of them only when the search
// found the board and identification then ended without a word.
bool IsSearchText(const std::string& text) {
    return text == "Search Device" || text.rfind("Try ", 0) == 0;
}

}  // namespace

std::string ResultSummary(const RunFacts& facts) {
    std::string text = Trimmed(facts.lastStatus);
    if (facts.succeeded) {
        return text;
    }
    if (text.empty()) {
        return facts.portName + " could not be used";
    }
    // A run that ended once blocks were on the line may have left them in
    // the board's flash.
    const bool endedMidImage =
        text == "User Abort !!" || text == "CHK Error !!" || text == "not Response";
    if (endedMidImage && facts.statistics.blocksSent > 0)
        return text + " - the board holds a partial image and must be programmed again";
    if (StoppedByUser(facts))
        return text + " - nothing was written, the board is unchanged";
    if (text == "Invalid Port Com" && !facts.portProblem.empty()) {
        return text + " - " + facts.portProblem;
    }
    if (text == "Answer out of step !!") {
        return text +
               " - the board sent an answer to no frame of ours, so its answers no "
               "longer show which frames it wrote; the firmware may be incomplete: "
               "run the update again";
    }
    if (text == "Board restarted !!") {
        return text +
               " - the board's boot loader started again during the run (a reset, or its "
               "supply sagged while it wrote its flash) and lost a frame; the board holds a "
               "partial image: check its power supply and run the update again";
    }
    if (text == "Answer garbled, start again !!") {
        return text +
               " - bytes came after the board's identity answer, so it may have been misread "
               "(line noise, or the board started again); nothing was written: run the "
               "update again";
    }
    // The board check's refusal names the board the firmware is for.
    if (text.find(" - Preparation") != std::string::npos) {
        return "the firmware in this build is for " + text + ", not for this board";
    }
    if (IsSearchText(text)) {
        const std::string board = "chip " + std::to_string(facts.chipIdentity) + ", board code " +
                                  std::to_string(facts.boardCode);
        return facts.imageEmpty
                   ? "no firmware in this build for this board (" + board + ")"
                   : "the firmware in this build is too big for this board (" + board + ")";
    }
    return text;
}

bool StoppedByUser(const RunFacts& facts) {
    return !facts.succeeded && Trimmed(facts.lastStatus) == "User Abort !!";
}

}  // namespace vorlan::flash
