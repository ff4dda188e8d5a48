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

// The fixed result texts, blanks included, and the link results that end a
// run so (kLinkOk: none).
struct EndText {
    RunEnd kind;
    std::int16_t linkResult;
    const char* text;
};
constexpr EndText kEndTexts[] = {
    {RunEnd::NoResponse, kLinkNoResponse, " not Response "},
    {RunEnd::UserAbort, kLinkUserAbort, " User Abort !! "},
    {RunEnd::ChecksumRefused, kLinkChecksumError, " CHK Error !! "},
    {RunEnd::IncompatibleBootloader, kLinkIncompatibleBootloader, " Incompatible Bootloader !! "},
    {RunEnd::OutOfStep, kLinkOutOfStep, " Answer out of step !! "},
    {RunEnd::BoardRestarted, kLinkBoardRestarted, " Board restarted !! "},
    {RunEnd::GarbledIdentity, kLinkGarbledIdentity, " Answer garbled, start again !! "},
    {RunEnd::DeviceNotFound, kLinkOk, "Device not Found"},
    {RunEnd::InvalidPort, kLinkOk, "Invalid Port Com"},
    {RunEnd::UnknownDevice, kLinkOk, " Error !! "},
    {RunEnd::PlanDoesNotFit, kLinkOk, " Error !! "},
    {RunEnd::NoImage, kLinkOk, " No Hex inside !! "},
    {RunEnd::ImageTooBig, kLinkOk, " Hex too Big !! "},
};

}  // namespace

std::string ResultText(const RunResult& result) {
    switch (result.kind) {
        case RunEnd::Programmed:
            return result.upgradeMode ? "Program OK" : " Program Ok ";
        // The Upgrade window has no place for the image warnings.
        case RunEnd::NoImage:
        case RunEnd::ImageTooBig:
            if (result.upgradeMode)
                return {};
            break;
        case RunEnd::BoardNotSuitable: {
            char text[64];
            std::snprintf(text, sizeof text, "%s - Preparation%x",
                          BoardNameOf(result.image.boardCode).c_str(),
                          static_cast<unsigned>(result.image.preparation));
            return text;
        }
        default:
            break;
    }
    for (const EndText& entry : kEndTexts) {
        if (entry.kind == result.kind)
            return entry.text;
    }
    return {};
}

RunEnd RunEndOfLink(std::int16_t linkResult) {
    for (const EndText& entry : kEndTexts) {
        if (entry.linkResult == linkResult && linkResult != kLinkOk)
            return entry.kind;
    }
    return RunEnd::NotStarted;
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
