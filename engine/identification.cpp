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
#include "engine/status_reporting.h"

namespace vorlan {

namespace {

constexpr std::uint8_t kHighestBios = 32;
constexpr std::uint8_t kFirstInfoBios = 8;  // information frame for 8..31
constexpr std::uint8_t kLastInfoBios = 31;
constexpr int kInfoWaitPasses = 250;
constexpr std::uint8_t kShortAnswerBoard = 2;
constexpr std::int32_t kPic18BlockSize = 64;
constexpr std::int32_t kBlockAddressUnits = 128;  // 16-bit block, in address units

// Where the image of an identified chip ends and what its blocks look like.
struct ChipPlan {
    std::uint8_t chipIdentity;
    bool sixteenBit;
    // Top of program memory in address units (bytes on PIC18). The run stops
    // below the boot loader: the family's reserve lower on PIC18, one block
    // below the boot-loader entry (which is this top) on the 16-bit parts.
    std::int32_t memoryTop;
};

constexpr std::array<ChipPlan, 8> kChipPlans{{
    {kChip258, false, 0x8000},
    {kChip2580, false, 0x8000},
    {kChip2480, false, 0x4000},
    {kChip248, false, 0x4000},
    {kChip2320, false, 0x2000},
    {kChip24J10, false, 0x4000},
    {kChip24HJ64, true, 0xA800},
    {kChip33FJ128, true, 0x15400},
}};

const ChipPlan* FindChipPlan(std::uint8_t chipIdentity) {
    for (const ChipPlan& plan : kChipPlans) {
        if (plan.chipIdentity == chipIdentity)
            return &plan;
    }
    return nullptr;
}

bool HasInformationFrame(std::uint8_t bios) {
    return bios >= kFirstInfoBios && bios <= kLastInfoBios;
}

// The frame may still be on its way after the search's 'K'; a frame that never
// completes is no error, the run goes on with what arrived.
void WaitForInformationFrame() {
    const LinkState& link = Link();
    int passes = 0;
    while (link.infoComplete == 0) {
        PollReplies();
        PumpMessages(5);
        if (passes >= kInfoWaitPasses)
            break;
        ++passes;
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
bool PlanMemory(StatusBarView& status, const ChipPlan& chip, std::uint8_t bios) {
    SetFamilyParameters(chip.chipIdentity, bios);
    const FamilyParameters& family = CurrentFamilyParameters();
    const std::int32_t imageLength = CurrentImage().programLength;
    if (chip.sixteenBit) {
        CurrentRunPlan().blockSize = family.bytesPerAddress * kBlockAddressUnits;
        CurrentRunPlan().programLimit =
            chip.memoryTop - CurrentRunPlan().blockSize / family.bytesPerAddress;
        CurrentRunPlan().sendLength = imageLength;
        if (2 * CurrentRunPlan().programLimit < CurrentRunPlan().sendLength) {
            WarnImageTooBig();
            return false;
        }
    } else {
        const std::int32_t reserve =
            chip.chipIdentity == kChip24J10 ? family.reservedTopJ : family.reservedTop;
        CurrentRunPlan().programLimit = chip.memoryTop - reserve;
        CurrentRunPlan().sendLength = imageLength < CurrentRunPlan().programLimit
                                          ? imageLength
                                          : CurrentRunPlan().programLimit;
    }
    if (imageLength <= 1) {
        WarnNoImage();
        return false;
    }
    ShowFound(status, chip.chipIdentity);
    return true;
}

void ReportUnsuitableBoard(StatusBarView& status, const LoadedImageIdentity& image) {
    char text[64];
    std::snprintf(text, sizeof text, "%s - Preparation%x", BoardNameOf(image.boardCode).c_str(),
                  static_cast<unsigned>(image.preparation));
    ReportResult(text, kColourRed, 0);
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
    if (HasInformationFrame(bios))
        WaitForInformationFrame();
    if (link.fullIdentity == 0)
        link.confirmed.boardCode = kShortAnswerBoard;

    const std::uint8_t chip = link.confirmed.chipIdentity;
    SelectImage(chip, link.confirmed.boardCode);
    const ChipPlan* chipPlan = FindChipPlan(chip);
    if (chipPlan == nullptr) {
        ReportResult(" Error !! ", kColourRed, 0);
        if (DevicePanelIndex > 0)
            SetPanel(status, DevicePanelIndex, "Unknow Device");
        return false;
    }
    if (!PlanMemory(status, *chipPlan, bios))
        return false;

    LoadedImageIdentity& loaded = LoadedImage();
    loaded.boardCode = imageIdentity.boardCode;
    loaded.preparation = imageIdentity.preparation;
    if (chipPlan->sixteenBit && HasInformationFrame(bios)) {
        CurrentRunPlan().skipStart = LittleEndian16(link.skipWindowStart);
        CurrentRunPlan().skipLength = LittleEndian16(link.skipWindowLength);
    }
    ShowBoardIdentity();

    if (!BoardFitsImage(link.confirmed.boardCode, link.confirmed.preparation, loaded.boardCode,
                        loaded.preparation, link.fullIdentity != 0)) {
        ReportUnsuitableBoard(status, loaded);
        return false;
    }
    ShowLoaded(status);
    return true;
}

}  // namespace vorlan
