#include "engine/programming_run.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "engine/command_frame.h"
#include "engine/link_port.h"
#include "engine/link_state.h"
#include "engine/link_wait.h"
#include "engine/run_result.h"
#include "engine/run_statistics.h"
#include "engine/status_reporting.h"

namespace vorlan {

namespace {

using FrameBuffer = std::array<std::uint8_t, kFrameBufferSize>;

constexpr std::uint8_t kFirstProgrammingModeBios = 5;
constexpr std::int32_t kProgrammingModeAnswerMs = 2000;
constexpr std::int32_t kEepromBodyLength = 5;
constexpr std::int32_t kMaxJumpBlock = 8;

std::int32_t HeaderLength(std::int32_t blockSize) {
    return blockSize <= 255 ? 4 : 5;
}

void WriteCountField(FrameBuffer& frame, std::int32_t count, std::int32_t header) {
    if (header == 4) {
        frame[3] = static_cast<std::uint8_t>(count);
    } else {
        frame[3] = static_cast<std::uint8_t>(count >> 8);
        frame[4] = static_cast<std::uint8_t>(count);
    }
}

// Fills the buffer with 0xFF and writes address and count; returns the
// header length, where the data starts.
std::int32_t StartBlockFrame(FrameBuffer& frame, std::int32_t address, std::int32_t count,
                             std::int32_t header) {
    frame.fill(0xFF);
    frame[0] = static_cast<std::uint8_t>(address >> 16);
    frame[1] = static_cast<std::uint8_t>(address >> 8);
    frame[2] = static_cast<std::uint8_t>(address);
    WriteCountField(frame, count, header);
    return header;
}

void SetStep(StatusBarView& status, const char* text) {
    SetPanel(status, StepPanelIndex, text);
}

enum class ProgrammingMode : std::uint8_t { NotAsked, Answered, Unanswered, Stopped };

// The boot loader gets 2 s to switch; ack, refusal and silence all go on,
// but a stop pressed meanwhile ends the run like any other stop.
ProgrammingMode EnterProgrammingMode(StatusBarView& status) {
    LinkState& link = Link();
    if (link.fullIdentity == 0 || link.confirmed.biosByte < kFirstProgrammingModeBios)
        return ProgrammingMode::NotAsked;
    SetStep(status, "Entry in PrgMode");
    DiscardEarlierInput();
    ClearReplyFlags(link);
    CurrentLinkPort().Write(&kProgrammingModeByte, 1);
    switch (WaitReply(kProgrammingModeAnswerMs)) {
        case kWaitStopped:
            ShowLinkError(kLinkUserAbort);
            return ProgrammingMode::Stopped;
        case kWaitTimeOut:
            return ProgrammingMode::Unanswered;
        default:
            return ProgrammingMode::Answered;
    }
}

// Sends a frame; on any failure, the time-out of a block in the middle of the
// image included, reports it and returns false.
bool SendFrame(FrameBuffer& frame, std::int32_t n) {
    const std::int16_t result = SendCommand(frame.data(), n);
    if (result == kLinkOk)
        return true;
    ShowLinkError(result);
    return false;
}

bool SendBlock(FrameBuffer& frame, std::int32_t n) {
    ++CurrentRunStatistics().blocksSent;
    return SendFrame(frame, n);
}

// After a 0xCC that got no answer in its time, the first block goes out twice.
// A board still busy switching (erasing its flash, say) may answer while the
// block is on its way: the late 'K' is then taken for the block's answer,
// and the block was lost if the board heard nothing until it had answered,
// or its own answer is still to come. So the run waits for that second 'K'
// (refusals and silence alike) for twice a frame's time, and then sends the
// block again, with no answer of the first send left to be taken for the
// second's: a board whose answers take longer than a frame's time then fails
// on its next frame instead of having every answer taken for the next
// frame's. A board that never answers 0xCC writes the same block twice, which
// does it no harm.
class FirstBlockRepeat {
public:
    explicit FirstBlockRepeat(bool wanted) : wanted_(wanted) {}
    bool Send(FrameBuffer& frame, std::int32_t n) {
        if (!SendBlock(frame, n))
            return false;
        if (!wanted_)
            return true;
        wanted_ = false;
        ClearReplyFlags(Link());
        if (WaitAcknowledgement(2 * kCommandAnswerMs) == kWaitStopped) {
            ShowLinkError(kLinkUserAbort);
            return false;
        }
        return SendFrame(frame, n);
    }

private:
    bool wanted_;
};

bool SendProgramBlocks(ProgressBarView& progress, StatusBarView& status,
                       const ImageDescriptor& image, const RunPlan& plan, std::int32_t perAddress,
                       FirstBlockRepeat repeat) {
    const std::int32_t header = HeaderLength(plan.blockSize);
    const std::int32_t frameEnd = header + plan.blockSize;
    FrameBuffer frame;
    std::int32_t n = 0;
    std::int32_t i = 0;
    while (i < plan.sendLength) {
        if (n == 0) {
            const std::int32_t address = i / perAddress;
            if (!IsUpgradeMode()) {
                char text[40];
                std::snprintf(text, sizeof text, "Program %05d (%05x)", address,
                              static_cast<unsigned>(address));
                SetStep(status, text);
            }
            n = StartBlockFrame(frame, address, plan.blockSize, header);
        }
        if (n < frameEnd) {
            frame[static_cast<std::size_t>(n++)] = image.programData[i++];
            continue;
        }
        const std::int32_t after = i / perAddress;
        progress.SetPosition(after);
        if (InSkipWindow(plan, after)) {
            ++CurrentRunStatistics().skippedBlocks;
        } else if (!repeat.Send(frame, n)) {
            return false;
        }
        n = 0;
    }
    if (n == 0)
        return true;
    // The last block says how many bytes it really carries.
    WriteCountField(frame, n - header, header);
    return repeat.Send(frame, n);
}

// The image's own reset instruction goes into the block just below the boot
// loader, whose entry point then hands over to it.
bool SendHeadBlock(StatusBarView& status, const ImageDescriptor& image, const RunPlan& plan) {
    SetStep(status, "Fix Program");
    const std::int32_t header = HeaderLength(plan.blockSize);
    FrameBuffer frame;
    StartBlockFrame(frame, plan.programLimit, plan.blockSize, header);
    const std::int32_t headStart = header + plan.blockSize - image.headLength;
    std::copy_n(image.headData, image.headLength, frame.begin() + headStart);
    return SendBlock(frame, header + plan.blockSize);
}

bool SendEeprom(ProgressBarView& progress, StatusBarView& status, const ImageDescriptor& image) {
    if (image.eepromLength <= 0)
        return true;
    progress.SetPosition(0);
    progress.SetMaximum(image.eepromLength);
    FrameBuffer frame;
    for (std::int32_t j = 0; j < image.eepromLength; ++j) {
        if (!IsUpgradeMode()) {
            char text[32];
            std::snprintf(text, sizeof text, "Program EEP %d", j);
            SetStep(status, text);
        }
        frame.fill(0xFF);
        // The boot loader takes an 8-bit EEPROM address.
        frame[0] = kEepromCommand;
        frame[1] = static_cast<std::uint8_t>(j & 0xFF);
        frame[2] = image.eepromData[j];
        frame[3] = 0x01;
        frame[4] = 0x00;
        if (!SendFrame(frame, kEepromBodyLength))
            return false;
        progress.SetPosition(j);
    }
    return true;
}

void ReportSuccess(StatusBarView& status) {
    if (UpgradeWindowView* upgrade = RegisteredUpgradeWindow(); upgrade != nullptr) {
        SetStep(status, EndRun(RunEnd::Programmed).c_str());
        upgrade->SetStopButtonVisible(false);
        upgrade->SetStartButtonVisible(true);
        upgrade->FocusStartButton();
        return;
    }
    ReportRunEnd(RunEnd::Programmed);
    if (UpdaterWindowView* updater = RegisteredUpdaterWindow(); updater != nullptr) {
        updater->SetStopButtonVisible(false);
        updater->SetStartButtonVisible(true);
        updater->FocusStartButton();
    }
}

}  // namespace

bool PlanFitsImage(const RunPlan& plan, const ImageDescriptor& image,
                   const FamilyParameters& family) {
    if (family.bytesPerAddress < 1 || family.jumpBlockLength < 0)
        return false;
    if (plan.blockSize < 1 || HeaderLength(plan.blockSize) + plan.blockSize + 1 > kFrameBufferSize)
        return false;
    if (plan.sendLength < 0 || plan.sendLength > image.programLength ||
        (image.programLength > 0 && image.programData == nullptr))
        return false;
    if (image.headLength < 0 || image.headLength > plan.blockSize ||
        (image.headLength > 0 && image.headData == nullptr))
        return false;
    if (plan.programLimit < 0 || plan.programLimit > 0xFFFFFF)
        return false;
    return image.eepromLength <= 0 || image.eepromData != nullptr;
}

bool RunProgramming(ProgressBarView& progress, StatusBarView& status, ImageDescriptor& image,
                    const RunPlan& plan, const FamilyParameters& family) {
    if (!PlanFitsImage(plan, image, family)) {
        ReportRunEnd(RunEnd::PlanDoesNotFit);
        return false;
    }
    const ProgrammingMode mode = EnterProgrammingMode(status);
    if (mode == ProgrammingMode::Stopped)
        return false;
    ReportStatus(" Programming... ", kColourButtonFace);

    // The programmed part must start in the boot loader, so that it stays
    // reachable; the image's own reset instruction goes into the head block.
    const std::int32_t jumpLength =
        std::min({family.jumpBlockLength, kMaxJumpBlock, image.programLength});
    std::copy_n(family.jumpBlock.begin(), jumpLength, image.programData);

    progress.SetPosition(0);
    progress.SetMaximum(plan.sendLength / family.bytesPerAddress);
    if (!SendProgramBlocks(progress, status, image, plan, family.bytesPerAddress,
                           FirstBlockRepeat(mode == ProgrammingMode::Unanswered)))
        return false;
    if (!SendHeadBlock(status, image, plan))
        return false;
    if (!SendEeprom(progress, status, image))
        return false;
    progress.SetPosition(0);
    ReportSuccess(status);
    return true;
}

}  // namespace vorlan
