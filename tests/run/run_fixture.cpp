#include "tests/run/run_fixture.h"

#include <memory>

#include "catalogue/chip_family.h"
#include "engine/command_frame.h"
#include "engine/identification.h"
#include "engine/identification_display.h"
#include "engine/link_state.h"
#include "engine/program_device.h"
#include "engine/run_plan.h"
#include "engine/status_reporting.h"

namespace vorlan::test {

TestImage::TestImage(std::int32_t programLength, std::int32_t headLength,
                     std::int32_t eepromLength) {
    for (std::int32_t i = 0; i < programLength; ++i)
        program.push_back(static_cast<std::uint8_t>(i * 7 + (i >> 8)));
    for (std::int32_t i = 0; i < headLength; ++i)
        head.push_back(static_cast<std::uint8_t>(0xA0 + i));
    for (std::int32_t i = 0; i < eepromLength; ++i)
        eeprom.push_back(static_cast<std::uint8_t>(0x30 + i * 3));
}

ImageDescriptor TestImage::Descriptor() {
    return ImageDescriptor{head.data(),    static_cast<std::int32_t>(head.size()),
                           program.data(), static_cast<std::int32_t>(program.size()),
                           eeprom.data(),  static_cast<std::int32_t>(eeprom.size())};
}

void TestImage::Install(int row, int family) {
    ImageSlotForTest(row, family) = Descriptor();
}

Bytes FullAnswer(const Identity& id) {
    return {kReplyIdentity, id.bios, id.chip, id.board, id.preparation, kReplyAck};
}

namespace {

void ResetRunState() {
    ResetAllState();
    ResetFamilyParameters();
    ResetImageTable();
    CurrentRunPlan() = RunPlan{};
    LoadedImage() = LoadedImageIdentity{};
}

bool IsSearchByte(const Bytes& frame) {
    return frame.size() == 1 && (frame[0] == kSearchByteUpdater || frame[0] == kSearchByteUpgrade);
}

}  // namespace

void RunTest::StartCase() {
    ResetRunState();
    port = ScriptedPort{};
    clock = VirtualClock{};
    updater = FakeUpdaterWindow{};
    upgrade = FakeUpgradeWindow{};
    progress = FakeProgressBar{};
    notifier = FakeNotifier{};
    BindLinkPort(&port);
    BindPause(&clock);
    RegisterStatusNotifier(&notifier);
    UseMode(Mode::Updater);
}

void RunTest::TearDown() {
    ResetRunState();
}

void RunTest::UseMode(Mode mode) {
    // The Updater window exists in both modes; the Upgrade window's
    // constructor takes the device panel away.
    RegisterUpdaterWindow(&updater);
    RegisterUpgradeWindow(mode == Mode::Upgrade ? &upgrade : nullptr);
    DevicePanelIndex = mode == Mode::Upgrade ? -2 : 2;
}

FakeStatusBar& RunTest::Bar() {
    return IsUpgradeMode() ? upgrade.statusBar : updater.statusBar;
}

void RunTest::ScriptBoard(Bytes identityAnswer, FrameAnswer override) {
    auto index = std::make_shared<std::size_t>(0);
    port.SetAnswerPolicy([identityAnswer = std::move(identityAnswer),
                          override = std::move(override), index](const Bytes& frame) {
        const std::size_t k = (*index)++;
        if (override) {
            if (std::optional<Bytes> answer = override(k, frame)) {
                if (answer->empty())
                    return std::vector<ReplyChunk>{};
                return std::vector<ReplyChunk>{ReplyChunk{*answer, 0}};
            }
        }
        if (IsSearchByte(frame))
            return std::vector<ReplyChunk>{ReplyChunk{identityAnswer, 0}};
        return std::vector<ReplyChunk>{ReplyChunk{Bytes{kReplyAck}, 0}};
    });
}

void RunTest::SetConfirmed(const Identity& id, bool full) {
    LinkState& link = Link();
    link.confirmed = DeviceIdentity{id.bios, id.chip, id.board, id.preparation};
    link.fullIdentity = full ? 1 : 0;
}

std::vector<Bytes> RunTest::FramesAfterSearch() const {
    std::vector<Bytes> frames;
    for (const Bytes& frame : port.Writes()) {
        if (!IsSearchByte(frame))
            frames.push_back(frame);
    }
    return frames;
}

}  // namespace vorlan::test
