#include "terminal/run_summary.h"

#include "terminal/single_run.h"

namespace vorlan::flash {

namespace {

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        return "";
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string BoardNumbers(const RunFacts& facts) {
    const DeviceIdentity* board = facts.Board();
    const DeviceIdentity none;
    const DeviceIdentity& told = board != nullptr ? *board : none;
    return "chip " + std::to_string(told.chipIdentity) + ", board code " +
           std::to_string(told.boardCode);
}

}  // namespace

std::string ResultWords(RunEnd kind) {
    RunResult result;
    result.kind = kind;
    return Trimmed(ResultText(result));
}

std::string ResultSummary(const RunFacts& facts) {
    const RunResult& result = facts.result;
    const std::string text = Trimmed(ResultText(result));
    switch (result.kind) {
        case RunEnd::NotStarted:
            return facts.portName + " could not be used";
        // A run that ended once frames were on the line may have left them
        // in the board's flash.
        case RunEnd::NoResponse:
        case RunEnd::ChecksumRefused:
        case RunEnd::UserAbort:
            if (result.PartialImage())
                return text + " - the board holds a partial image and must be programmed again";
            if (result.kind == RunEnd::UserAbort)
                return text + " - nothing was written, the board is unchanged";
            return text;
        case RunEnd::InvalidPort:
            return result.portProblem.empty() ? text : text + " - " + result.portProblem;
        case RunEnd::OutOfStep:
            return text +
                   " - the board sent an answer to no frame of ours, so its answers no "
                   "longer show which frames it wrote; the firmware may be incomplete: "
                   "run the update again";
        case RunEnd::BoardRestarted:
            return text +
                   " - the board's boot loader started again during the run (a reset, or its "
                   "supply sagged while it wrote its flash) and lost a frame; the board holds a "
                   "partial image: check its power supply and run the update again";
        case RunEnd::GarbledIdentity:
            return text +
                   " - bytes came after the board's identity answer, so it may have been misread "
                   "(line noise, or the board started again); nothing was written: run the "
                   "update again";
        // The board check's refusal names the board the firmware is for.
        case RunEnd::BoardNotSuitable:
            return "the firmware in this build is for " + text + ", not for this board";
        // The Upgrade window shows no image warning.
        case RunEnd::NoImage:
            return !text.empty()
                       ? text
                       : "no firmware in this build for this board (" + BoardNumbers(facts) + ")";
        case RunEnd::ImageTooBig:
            return !text.empty() ? text
                                 : "the firmware in this build is too big for this board (" +
                                       BoardNumbers(facts) + ")";
        default:
            return text;
    }
}

int ExitStatusOf(const RunResult& result) {
    if (result.Succeeded())
        return kExitSucceeded;
    return result.kind == RunEnd::UserAbort ? kExitStopped : kExitFailed;
}

}  // namespace vorlan::flash
