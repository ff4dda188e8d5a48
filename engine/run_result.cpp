#include "engine/run_result.h"

#include <cstdio>

#include "catalogue/board_names.h"
#include "engine/command_frame.h"
#include "engine/status_reporting.h"

namespace vorlan {

namespace {

struct RecordedEnd {
    RunEnd kind = RunEnd::NotStarted;
    bool upgradeMode = false;
    LoadedImageIdentity image;
};

RecordedEnd gEnd;

}  // namespace

std::string ResultText(const RunResult& result) {
    switch (result.kind) {
        case RunEnd::Programmed:
            return result.upgradeMode ? "Program OK" : " Program Ok ";
        case RunEnd::NoResponse:
            return " not Response ";
        case RunEnd::UserAbort:
            return " User Abort !! ";
        case RunEnd::ChecksumRefused:
            return " CHK Error !! ";
        case RunEnd::IncompatibleBootloader:
            return " Incompatible Bootloader !! ";
        case RunEnd::OutOfStep:
            return " Answer out of step !! ";
        case RunEnd::BoardRestarted:
            return " Board restarted !! ";
        case RunEnd::GarbledIdentity:
            return " Answer garbled, start again !! ";
        case RunEnd::DeviceNotFound:
            return "Device not Found";
        case RunEnd::InvalidPort:
            return "Invalid Port Com";
        case RunEnd::UnknownDevice:
        case RunEnd::PlanDoesNotFit:
            return " Error !! ";
        // The Upgrade window has no place for the image warnings.
        case RunEnd::NoImage:
            return result.upgradeMode ? "" : " No Hex inside !! ";
        case RunEnd::ImageTooBig:
            return result.upgradeMode ? "" : " Hex too Big !! ";
        case RunEnd::BoardNotSuitable: {
            char text[64];
            std::snprintf(text, sizeof text, "%s - Preparation%x",
                          BoardNameOf(result.image.boardCode).c_str(),
                          static_cast<unsigned>(result.image.preparation));
            return text;
        }
        case RunEnd::NotStarted:
        case RunEnd::Identified:
            break;
    }
    return {};
}

RunEnd RunEndOfLink(std::int16_t linkResult) {
    switch (linkResult) {
        case kLinkNoResponse:
            return RunEnd::NoResponse;
        case kLinkUserAbort:
            return RunEnd::UserAbort;
        case kLinkChecksumError:
            return RunEnd::ChecksumRefused;
        case kLinkIncompatibleBootloader:
            return RunEnd::IncompatibleBootloader;
        case kLinkOutOfStep:
            return RunEnd::OutOfStep;
        case kLinkBoardRestarted:
            return RunEnd::BoardRestarted;
        case kLinkGarbledIdentity:
            return RunEnd::GarbledIdentity;
        default:
            return RunEnd::NotStarted;
    }
}

std::string EndRun(RunEnd kind) {
    gEnd = RecordedEnd{kind, IsUpgradeMode(), LoadedImage()};
    return ResultText(RecordedRunEnd());
}

void ReportRunEnd(RunEnd kind) {
    const std::string text = EndRun(kind);
    if (text.empty())
        return;
    const bool programmed = kind == RunEnd::Programmed;
    ReportResult(text, programmed ? kColourGreen : kColourRed, programmed ? 1 : 0);
}

RunResult RecordedRunEnd() {
    RunResult result;
    result.kind = gEnd.kind;
    result.upgradeMode = gEnd.upgradeMode;
    result.image = gEnd.image;
    return result;
}

void ResetRunEnd() {
    gEnd = RecordedEnd{};
}

}  // namespace vorlan
