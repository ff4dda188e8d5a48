#include "engine/identification.h"

#include <array>
#include <cstdio>
#include <string>

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

// The identity answer has no checksum, so what follows it must prove that it
// was read whole: the information frame, when one is due, right after the
// answer and ending where its length byte says, and then silence until the
// first command. A stray byte, a second answer or a board that started again
// in its frame would otherwise choose the image, the jump block and the skip
// window. An information frame that never completed is no error on a PIC18
// (it only shows the release text); on a 16-bit part it carries the skip
// window that guards the board's own data, so the run cannot go on without it.
bool IdentityReadWhole(bool expectsFrame, bool sixteenBit) {
    const LinkState& link = Link();
    const bool frameWhole = link.infoComplete != 0;
    if (expectsFrame && !frameWhole && sixteenBit)
        return false;
    const std::uint32_t before = link.search.bytesSinceAnswer;
    for (int pause = 0; pause < kQuietPauses; ++pause) {
        TakePause();
        PollReplies();
    }
    if (link.search.bytesSinceAnswer != before)
        return false;
    if (expectsFrame && !frameWhole)
        return true;
    const std::uint32_t expected = expectsFrame ? kInfoFrameOverhead + link.dataLength : 0;
    return link.search.bytesSinceAnswer == expected;
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
