#include "engine/identification.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalogue/board_names.h"
#include "catalogue/chip_family.h"
#include "engine/command_frame.h"
#include "engine/identification_display.h"
#include "engine/link_state.h"
#include "engine/status_reporting.h"
#include "tests/run/run_fixture.h"

namespace vorlan {
namespace {

using test::Bytes;
using test::Identity;
using test::Mode;
using test::TestImage;

class IdentificationTest : public test::RunTest {
protected:
    bool Identify(ImageIdentityBytes image = {}) { return IdentifyDevice(progress, Bar(), image); }
};

TEST_F(IdentificationTest, EachFamilyGetsItsPlan) {
    const struct {
        std::uint8_t chip;
        std::uint8_t bios;
        std::int32_t imageLength;
        std::int32_t programLimit;
        std::int32_t sendLength;
        std::int32_t blockSize;
        const char* found;
        const char* loaded;
    } cases[] = {
        {66, 5, 40000, 0x7E40, 32320, 64, "Found 258", "Loaded 40000 bytes (0000 to 7E40)"},
        {67, 4, 100, 0x7EC0, 100, 64, "Found 2580", "Loaded 100 bytes (0000 to 0064)"},
        {68, 5, 20000, 0x3E40, 0x3E40, 64, "Found 2480", "Loaded 20000 bytes (0000 to 3E40)"},
        {69, 0, 16064, 0x3EC0, 16064, 64, "Found 248", "Loaded 16064 bytes (0000 to 3EC0)"},
        {70, 5, 9000, 0x1E40, 0x1E40, 64, "Found 2320", "Loaded 9000 bytes (0000 to 1E40)"},
        {70, 4, 9000, 0x1EC0, 0x1EC0, 64, "Found 2320", "Loaded 9000 bytes (0000 to 1EC0)"},
        {199, 9, 30000, 0x3BC0, 0x3BC0, 64, "Found 24j10", "Loaded 30000 bytes (0000 to 3BC0)"},
        {254, 5, 64512, 0xA780, 64512, 256, "Found 24HJ64", "Loaded 32256 bytes (0000 to 7E00)"},
        {254, 4, 85760, 0xA780, 85760, 256, "Found 24HJ64", "Loaded 42880 bytes (0000 to A780)"},
        {253, 32, 1000, 0x15380, 1000, 256, "Found 33FJ128", "Loaded 500 bytes (0000 to 01F4)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.found);
        StartCase();
        TestImage image(c.imageLength, 4, 0);
        image.Install(0, ChipFamilyOf(c.chip));
        SetConfirmed({c.bios, c.chip, 5, 1});
        ASSERT_TRUE(Identify());
        const RunPlan& plan = CurrentRunPlan();
        EXPECT_EQ(plan.programLimit, c.programLimit);
        EXPECT_EQ(plan.sendLength, c.sendLength);
        EXPECT_EQ(plan.blockSize, c.blockSize);
        EXPECT_EQ(CurrentImage().programData, image.program.data());
        EXPECT_EQ(Bar().Panel(DevicePanelIndex), c.found);
        EXPECT_EQ(Bar().Panel(ImagePanelIndex), c.loaded);
        EXPECT_FALSE(progress.Smooth());
        EXPECT_FALSE(updater.resultVisible);
    }
}

TEST_F(IdentificationTest, RefusalsShowTheirTexts) {
    const struct {
        const char* name;
        Identity id;
        std::int32_t imageLength;  // installed as the family default
        ImageIdentityBytes image;
        const char* result;
        const char* devicePanel;
        const char* imagePanel;
    } cases[] = {
        {"BIOS 33", {33, 254, 5, 1}, 64512, {}, " Incompatible Bootloader !! ", "", ""},
        {"unknown chip", {5, 0x10, 5, 1}, 64512, {}, " Error !! ", "Unknow Device", ""},
        {"no image", {5, 66, 5, 1}, 1, {}, " No Hex inside !! ", "Warning", ""},
        {"too big", {5, 254, 5, 1}, 85761, {}, " Hex too Big !! ", "Warning", ""},
        {"other board",
         {5, 254, 6, 1},
         64512,
         {5, 1},
         "UNK - Preparation1",
         "Warning!!",
         "not suitable apparatus"},
        {"preparation",
         {5, 66, 5, 0x12},
         500,
         {5, 0x2a},
         "UNK - Preparation2a",
         "Warning!!",
         "not suitable apparatus"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        StartCase();
        TestImage image(c.imageLength, 4, 0);
        image.Install(0, ChipFamilyOf(c.id.chip));
        SetConfirmed(c.id);
        EXPECT_FALSE(Identify(c.image));
        std::string expected = c.result;
        if (expected.find("Preparation") != std::string::npos)
            expected = BoardNameOf(5) + expected.substr(3);
        EXPECT_EQ(updater.resultText, expected);
        EXPECT_EQ(updater.resultBackground, kColourRed);
        EXPECT_EQ(notifier.codes, (std::vector<std::uint8_t>{0}));
        EXPECT_EQ(Bar().Panel(DevicePanelIndex), c.devicePanel);
        EXPECT_EQ(Bar().Panel(ImagePanelIndex), c.imagePanel);
        EXPECT_TRUE(port.Writes().empty());
    }
}

TEST_F(IdentificationTest, UpgradeModeWritesOnlyTheImagePanelWarning) {
    UseMode(Mode::Upgrade);
    TestImage image(64512, 8, 0);
    image.Install(0, 6);
    SetConfirmed({5, 254, 5, 1});
    ASSERT_TRUE(Identify());
    EXPECT_TRUE(upgrade.statusBar.History().empty());  // no "Found", no "Loaded"

    SetConfirmed({5, 254, 6, 1});
    EXPECT_FALSE(Identify({5, 1}));
    EXPECT_EQ(upgrade.statusBar.Panel(ImagePanelIndex), "not suitable apparatus");
    EXPECT_EQ(upgrade.statusBar.Panel(StepPanelIndex), BoardNameOf(5) + " - Preparation1");
    EXPECT_EQ(upgrade.statusBar.Panel(2), "");

    // The image warnings are silent in Upgrade mode, and the run still ends.
    ResetImageTable();
    SetConfirmed({5, 254, 5, 1});
    notifier.codes.clear();
    EXPECT_FALSE(Identify());
    EXPECT_TRUE(notifier.codes.empty());
}

TEST_F(IdentificationTest, ShortAnswerTakesBoardTwoAndSkipsTheBoardCheck) {
    TestImage fallback(500, 4, 0);
    TestImage boardTwo(600, 4, 0);
    fallback.Install(0, 0);
    boardTwo.Install(2, 0);
    SetConfirmed({0, 66, 9, 0x12}, false);
    ASSERT_TRUE(Identify({9, 0x2a}));  // would not fit a full answer
    EXPECT_EQ(Link().confirmed.boardCode, 2);
    EXPECT_EQ(CurrentImage().programData, boardTwo.program.data());
    EXPECT_EQ(CurrentRunPlan().programLimit, 0x7EC0);  // BIOS byte 0: reserve 320
    EXPECT_EQ(LoadedImage().boardCode, 9);
    EXPECT_EQ(LoadedImage().preparation, 0x2a);
}

TEST_F(IdentificationTest, InformationFrameGivesTheSkipWindowOfSixteenBitChips) {
    TestImage image(64512, 8, 0);
    image.Install(0, 6);
    SetConfirmed({8, 254, 5, 1});
    Bytes frame{kReplyInformation, 28, 0x00};
    for (int i = 0; i < 24; ++i) frame.push_back(static_cast<std::uint8_t>('a' + i));
    frame.insert(frame.end(), {0x00, 0x40, 0x00, 0x04, kReplyAck});
    port.Deliver(frame, 30);  // arrives after 30 empty reads
    ASSERT_TRUE(Identify());
    EXPECT_EQ(CurrentRunPlan().skipStart, 0x4000u);
    EXPECT_EQ(CurrentRunPlan().skipLength, 0x400u);
    EXPECT_EQ(port.ReadCalls(), 31 + 2);  // and two quiet ones after the frame
    EXPECT_EQ(updater.releaseLine, "abcdefghijklmnopqrstuvwx");
}

// A 16-bit part whose frame never completes has no known skip window: the
// run ends before anything is written. A PIC18 goes on without the frame.
TEST_F(IdentificationTest, InformationWaitIsBoundedAndOnlyForBiosEightToThirtyOne) {
    const struct {
        std::uint8_t bios;
        std::uint8_t chip;
        int reads;
        bool accepted;
    } cases[] = {
        {8, 254, 251, false}, {31, 66, 251 + 2, true}, {7, 254, 2, true}, {32, 254, 2, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.bios));
        StartCase();
        TestImage image(1000, 4, 0);
        image.Install(0, ChipFamilyOf(c.chip));
        Link().skipWindowStart = {0x00, 0x40};
        Link().skipWindowLength = {0x00, 0x04};
        SetConfirmed({c.bios, c.chip, 5, 1});
        EXPECT_EQ(Identify(), c.accepted);
        EXPECT_EQ(CurrentRunPlan().skipStart, 0u);
        EXPECT_EQ(port.ReadCalls(), c.reads);
        EXPECT_EQ(clock.Passes(), c.reads);
        EXPECT_EQ(updater.resultText, c.accepted ? "" : " Answer garbled, start again !! ");
    }
}

TEST(BoardCheckTest, BoardCodeAndPreparationRules) {
    const struct {
        std::uint8_t deviceBoard, devicePrep, imageBoard, imagePrep;
        bool full;
        bool fits;
    } cases[] = {
        {5, 0x01, 5, 0x01, true, true},   // equal
        {6, 0x01, 5, 0x01, true, false},  // other board
        {6, 0x01, 0, 0x07, true, true},   // image for every board
        {6, 0x01, 255, 0x07, true, true},
        {6, 0x01, 5, 0x07, false, true},  // short answer: no check
        {5, 0x03, 5, 0x85, true, true},   // 3 against a RES image
        {5, 0x91, 5, 0x84, true, true},   // both RES, despite 0x10
        {5, 0x12, 5, 0x02, true, false},  // 0x10 on the device only
        {5, 0x12, 5, 0x12, true, true},
        {5, 0x11, 5, 0x14, true, true},  // 0x10 on both, table 1 -> 4
        {5, 0x01, 5, 0x04, true, true},  // 1 -> 1 or 4
        {5, 0x01, 5, 0x02, true, false},
        {5, 0x02, 5, 0x01, true, true},  // 2 -> 1, 2 or 4
        {5, 0x02, 5, 0x04, true, true},
        {5, 0x02, 5, 0x05, true, false},
        {5, 0x05, 5, 0x04, true, true},   // 5 -> 4 or 5
        {5, 0x05, 5, 0x24, true, false},  // b keeps 0x20
        {5, 0x05, 5, 0x44, true, false},  // and 0x40
        {5, 0x06, 5, 0x86, true, true},   // 0x80 dropped from b: 6 == 6
        {5, 0x86, 5, 0x06, true, true},   // a drops 0x80 too
        {5, 0x07, 5, 0x06, true, false},  // any other a needs b == a
        {6, 0x02, 5, 0x04, true, false},  // preparation fits, board does not
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << std::hex << "device " << int(c.devicePrep) << " image "
                                          << int(c.imagePrep));
        EXPECT_EQ(BoardFitsImage(c.deviceBoard, c.devicePrep, c.imageBoard, c.imagePrep, c.full),
                  c.fits);
    }
}

}  // namespace
}  // namespace vorlan
