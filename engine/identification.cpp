#include "engine/identification.h"

#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "catalogue/board_names.h"
#include "catalogue/chip_family.h"
#include "engine/command_frame.h"
#include "engine/identification_display.h"
#include "engine/link_state.h"
#include "engine/link_wait.h"
#include "engine/pause.h"
#include "engine/run_result.h"
#include "engine/run_statistics.h"
#include "engine/status_reporting.h"

namespace vorlan {

namespace {

constexpr std::uint8_t kHighestBios = 32;
// 251 pauses: the limit of the information wait.
constexpr std::int64_t kInfoWaitUs = 251 * kPauseUs;
constexpr std::uint8_t kShortAnswerBoard = 2;
constexpr std::int32_t kPic18BlockSize = 64;
constexpr std::int32_t kBlockAddressUnits = 128;  // 16-bit block, in address units

// Two pauses: about a hundred byte times at 115200 baud.
constexpr int kQuietPauses = 2;
// How long whole repeats of the answer may keep coming: 200 ms.
constexpr int kRepeatPauses = 40;
// 'R', the length byte, the byte not examined, and the closing 'K'.
constexpr std::uint32_t kInfoFrameOverhead = 4;

// The frame may still be on its way after the search's 'K'.
void WaitForInformationFrame() {
    const LinkState& link = Link();
    std::int64_t waitedUs = 0;
    while (link.infoComplete == 0 && waitedUs < kInfoWaitUs) {
        PollReplies();
        waitedUs += TakePause();
    }
}

// The answer as the board sent it: 'V' and its four bytes and 'K', or the
// short one.
std::vector<std::uint8_t> AnswerBytes(const SearchAnswer& search) {
    const DeviceIdentity& id = search.identity;
    if (!search.fullIdentity)
        return {id.chipIdentity, kReplyAck};
    return {kReplyIdentity, id.biosByte, id.chipIdentity, id.boardCode, id.preparation, kReplyAck};
}

enum class AfterAnswer : std::uint8_t { Whole, RepeatArriving, Foreign };

// What came after the answer's frame may only be that answer and frame
// again, whole: a board that answered an earlier search byte late as well.
// Such a repeat tells nothing new, so it cannot be misread.
AfterAnswer ReadAfterAnswer(const SearchAnswer& search, std::uint32_t frameLength) {
    const std::uint32_t count = search.bytesSinceAnswer;
    if (count < frameLength || count > search.afterAnswer.size())
        return AfterAnswer::Foreign;
    std::vector<std::uint8_t> unit = AnswerBytes(search);
    unit.insert(unit.end(), search.afterAnswer.begin(), search.afterAnswer.begin() + frameLength);
    for (std::uint32_t i = frameLength; i < count; ++i) {
        if (search.afterAnswer[i] != unit[(i - frameLength) % unit.size()])
            return AfterAnswer::Foreign;
    }
    return (count - frameLength) % unit.size() == 0 ? AfterAnswer::Whole
                                                    : AfterAnswer::RepeatArriving;
}

// The identity answer has no checksum, so what follows it must prove that it
// was read whole: the information frame, when one is due, right after the
// answer and ending where its length byte says, and then silence (or whole
// repeats of both) until the first command. A stray byte, another answer or a
// board that started again in its frame would otherwise choose the image,
// the jump block and the skip window. An information frame that never
// completed is no error on a PIC18 (it only shows the release text); on a
// 16-bit part it carries the skip window that guards the board's own data,
// so the run cannot go on without it.
bool IdentityReadWhole(bool expectsFrame, bool sixteenBit) {
    const LinkState& link = Link();
    const bool frameWhole = link.infoComplete != 0;
    if (expectsFrame && !frameWhole && sixteenBit)
        return false;
    const bool frameMissing = expectsFrame && !frameWhole;
    const std::uint32_t frameLength = expectsFrame ? kInfoFrameOverhead + link.dataLength : 0;
    int quietPauses = 0;
    for (int pause = 0;; ++pause) {
        const AfterAnswer after = ReadAfterAnswer(link.search, frameLength);
        if (!frameMissing && after == AfterAnswer::Foreign)
            return false;
        if (quietPauses >= kQuietPauses && (frameMissing || after == AfterAnswer::Whole))
            return true;
        if (pause >= kRepeatPauses)
            return false;
        const std::uint32_t before = link.search.bytesSinceAnswer;
        TakePause();
        PollReplies();
        if (link.search.bytesSinceAnswer == before) {
            ++quietPauses;
        } else if (frameMissing) {
            return false;
        } else {
            quietPauses = 0;
        }
    }
}

std::uint32_t LittleEndian16(const std::array<std::uint8_t, 2>& bytes) {
    return static_cast<std::uint32_t>(bytes[0] | (bytes[1] << 8));
}

void ShowFound(StatusBarView& status, std::uint8_t chip) {
    if (DevicePanelIndex > 0)
        SetPanel(status, DevicePanelIndex, "Found " + std::string(ChipStatusName(chip)));
}

// Step 6: the memory plan of the chip. false when the run ends here.
bool PlanMemory(StatusBarView& status, std::uint8_t chipIdentity, const ChipMemory& chip,
                std::uint8_t bios) {
    SetFamilyParameters(chipIdentity, bios);
    const FamilyParameters& family = CurrentFamilyParameters();
    RunPlan& plan = CurrentRunPlan();
    const std::int32_t imageLength = CurrentImage().programLength;
    if (chip.sixteenBit) {
        plan.blockSize = family.bytesPerAddress * kBlockAddressUnits;
        plan.programLimit = chip.memoryTop - plan.blockSize / family.bytesPerAddress;
        plan.sendLength = imageLength;
        if (2 * plan.programLimit < plan.sendLength) {
            WarnImageTooBig();
            return false;
        }
    } else {
        const std::int32_t reserve =
            chipIdentity == kChip24J10 ? family.reservedTopJ : family.reservedTop;
        plan.programLimit = chip.memoryTop - reserve;
        plan.sendLength = imageLength < plan.programLimit ? imageLength : plan.programLimit;
    }
    if (imageLength <= 1) {
        WarnNoImage();
        return false;
    }
    ShowFound(status, chipIdentity);
    return true;
}

void ReportUnsuitableBoard(StatusBarView& status) {
    ReportRunEnd(RunEnd::BoardNotSuitable);
    if (DevicePanelIndex >= 0)
        SetPanel(status, DevicePanelIndex, "Warning!!");
    if (ImagePanelIndex >= 0)
        SetPanel(status, ImagePanelIndex, "not suitable apparatus");
}

void ShowLoaded(StatusBarView& status) {
    if (IsUpgradeMode())
        return;
    const std::int32_t perAddress = CurrentFamilyParameters().bytesPerAddress;
    char text[64];
    std::snprintf(text, sizeof text, "Loaded %d bytes (%04X to %04X)",
                  CurrentImage().programLength / perAddress, 0u,
                  static_cast<unsigned>(CurrentRunPlan().sendLength / perAddress));
    SetPanel(status, ImagePanelIndex, text);
}

bool PreparationAccepted(std::uint8_t a, std::uint8_t b) {
    switch (a) {
        case 1:
            return b == 1 || b == 4;
        case 2:
            return b == 1 || b == 2 || b == 4;
        case 5:
            return b == 4 || b == 5;
        default:
            return b == a;
    }
}

}  // namespace

bool BoardFitsImage(std::uint8_t deviceBoard, std::uint8_t devicePreparation,
                    std::uint8_t imageBoard, std::uint8_t imagePreparation, bool fullIdentity) {
    // A build for every board, or a boot loader too old to say which board it
    // is on, is not checked.
    if (imageBoard == 0 || imageBoard == 255 || !fullIdentity)
        return true;
    unsigned mismatch = 0;
    if (deviceBoard != imageBoard)
        mismatch |= 1u;
    const std::uint8_t d = devicePreparation;
    const std::uint8_t m = imagePreparation;
    const bool fitsOutright =
        d == m || (d == 3 && (m & 0x80) != 0) || ((d & 0x80) != 0 && (m & 0x80) != 0);
    if (!fitsOutright) {
        if ((d & 0x10) != 0 && (m & 0x10) == 0)
            mismatch |= 2u;
        if (!PreparationAccepted(static_cast<std::uint8_t>(d & 0x0F),
                                 static_cast<std::uint8_t>(m & 0x6F)))
            mismatch |= 2u;
    }
    return mismatch == 0;
}

bool IdentifyDevice(ProgressBarView& progress, StatusBarView& status,
                    ImageIdentityBytes imageIdentity) {
    progress.SetPosition(0);
    progress.SetSmooth(false);
    CurrentRunPlan().blockSize = kPic18BlockSize;
    CurrentRunPlan().sendLength = 0;

    LinkState& link = Link();
    const std::uint8_t bios = link.confirmed.biosByte;
    if (bios > kHighestBios) {
        ShowLinkError(kLinkIncompatibleBootloader);
        return false;
    }
    const bool expectsFrame = HasInformationFrame(bios);
    if (expectsFrame)
        WaitForInformationFrame();
    const ChipMemory* chipMemory = ChipMemoryOf(link.confirmed.chipIdentity);
    if (!IdentityReadWhole(expectsFrame, chipMemory != nullptr && chipMemory->sixteenBit)) {
        ShowLinkError(kLinkGarbledIdentity);
        return false;
    }
    if (link.fullIdentity == 0)
        link.confirmed.boardCode = kShortAnswerBoard;
    RunStatistics& statistics = CurrentRunStatistics();
    statistics.boardIdentified = true;
    statistics.board = link.confirmed;
    statistics.fullIdentity = link.fullIdentity != 0;
    statistics.releaseText = ReleaseTextOf(link);

    const std::uint8_t chip = link.confirmed.chipIdentity;
    SelectImage(chip, link.confirmed.boardCode);
    if (chipMemory == nullptr) {
        ReportRunEnd(RunEnd::UnknownDevice);
        if (DevicePanelIndex > 0)
            SetPanel(status, DevicePanelIndex, "Unknow Device");
        return false;
    }
    if (!PlanMemory(status, chip, *chipMemory, bios))
        return false;

    LoadedImageIdentity& loaded = LoadedImage();
    loaded.boardCode = imageIdentity.boardCode;
    loaded.preparation = imageIdentity.preparation;
    if (chipMemory->sixteenBit && HasInformationFrame(bios)) {
        CurrentRunPlan().skipStart = LittleEndian16(link.skipWindowStart);
        CurrentRunPlan().skipLength = LittleEndian16(link.skipWindowLength);
    }
    ShowBoardIdentity();

    if (!BoardFitsImage(link.confirmed.boardCode, link.confirmed.preparation, loaded.boardCode,
                        loaded.preparation, link.fullIdentity != 0)) {
        ReportUnsuitableBoard(status);
        return false;
    }
    ShowLoaded(status);
    return true;
}

}  // namespace vorlan
