// How a run ended, as a value: what the start buttons, the notifier,
// vorlan-flash's result line, JSON, log and exit status all read. The texts a
// run shows as its result are made from the kind here and nowhere else.
//
// While a run lasts, the engine records its end here as it reports it (the
// run's end is process-wide, like the link state); RunUpdate hands the whole
// value back. UI thread only.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "engine/identification_display.h"
#include "engine/run_statistics.h"

namespace vorlan {

enum class RunEnd : std::uint8_t {
    NotStarted,  // another run was active, or none has ended yet
    Programmed,
    Identified,  // an identification-only run: the board was accepted
    NoResponse,
    UserAbort,
    ChecksumRefused,  // five refusals of one frame
    IncompatibleBootloader,
    OutOfStep,
    BoardRestarted,
    GarbledIdentity,  // the identity answer may have been misread; nothing sent
    DeviceNotFound,
    InvalidPort,
    UnknownDevice,
    NoImage,
    ImageTooBig,
    BoardNotSuitable,
    PlanDoesNotFit,  // the image does not fit the run's frames; nothing sent
};

struct RunResult {
    RunEnd kind = RunEnd::NotStarted;
    // The texts as the Upgrade window shows them (recorded with the end).
    bool upgradeMode = false;
    // A frame went to the board: it may hold part of the image.
    bool framesReachedBoard = false;
    // What the run learnt and did: identity, blocks sent, resends, blocks
    // left out, release text.
    RunStatistics facts;
    // The build's board and preparation, which a refused board is told of.
    LoadedImageIdentity image;
    // CRC-32 (engine/image_crc.h) of what the run writes (blocks in the skip
    // window left out) and of the whole firmware it planned to send; empty
    // when the run ended before an image was chosen.
    std::optional<std::uint32_t> imageCrc;
    std::optional<std::uint32_t> firmwareCrc;
    // Why the port cannot be used (InvalidPort), as the port tells it.
    std::string portProblem;

    bool Succeeded() const { return kind == RunEnd::Programmed; }
    // A run that ended after frames went out may have left part of an image.
    bool PartialImage() const { return framesReachedBoard && kind != RunEnd::Programmed; }
};

// The text a run shows for its end, blanks included: " not Response ",
// "Device not Found", "Program OK" in the Upgrade window... Empty for ends
// that show none (an identification that accepted the board; the image
// warnings in the Upgrade window).
std::string ResultText(const RunResult& result);

// The end that a link result (SendCommand, ShowLinkError) stands for;
// NotStarted for 0 and values without one.
RunEnd RunEndOfLink(std::int16_t linkResult);

// Records kind as the current run's end and returns its text as the current
// mode shows it, for a caller that shows it in a place of its own.
std::string EndRun(RunEnd kind);
// Records kind and shows its text as the run's result (ReportResult: green
// and notifier code 1 for Programmed, else red and 0); an empty text is not
// shown.
void ReportRunEnd(RunEnd kind);
// The end recorded since the last reset: its kind, mode and image identity.
RunResult RecordedRunEnd();
void ResetRunEnd();  // at the start of each run, and with the engine's state

}  // namespace vorlan
