#include "engine/identification_display.h"

#include <gtest/gtest.h>

#include <cstring>

#include "catalogue/board_names.h"
#include "engine/link_state.h"
#include "engine/status_reporting.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/fake_views.h"

namespace vorlan {
namespace {

TEST(BoardNameTest, CodesOutsideOneToTwentyFourShowTheRowTwoName) {
    EXPECT_EQ(BoardNameOf(1), "UNK");
    EXPECT_EQ(BoardNameOf(9), "DEMO-24HJ");
    EXPECT_EQ(BoardNameOf(24), BoardNames[24]);
    for (int code : {0, 25, 255, -1}) EXPECT_EQ(BoardNameOf(code), BoardNames[2]) << code;
    for (const char* name : BoardNames) EXPECT_LE(std::strlen(name), 10u) << name;
}

class IdentificationDisplayTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::ResetAllState();
        LoadedImage() = {};
        RegisterUpdaterWindow(&window);
    }
    void TearDown() override {
        test::ResetAllState();
        LoadedImage() = {};
    }

    static void SetDevice(std::uint8_t bios, std::uint8_t board, std::uint8_t preparation,
                          bool full) {
        Link().confirmed = DeviceIdentity{bios, 254, board, preparation};
        Link().fullIdentity = full ? 1 : 0;
    }
    static void SetRelease(const char* text) {
        Link().releaseText.fill(0);
        std::memcpy(Link().releaseText.data(), text, std::strlen(text));
    }

    test::FakeUpdaterWindow window;
};

TEST_F(IdentificationDisplayTest, FullIdentityShowsTheDeviceShortOneTheImage) {
    LoadedImage() = {9, 0x04};
    SetDevice(0x1A, 14, 0x83, true);
    ShowBoardIdentity();
    EXPECT_EQ(window.identityLine, "BIOS:1a - " + BoardNameOf(14) + " - Preparation83");

    SetDevice(0, 0, 0, false);
    ShowBoardIdentity();
    EXPECT_EQ(window.identityLine, "BIOS:00 - DEMO-24HJ - Preparation04");
}

TEST_F(IdentificationDisplayTest, ReleaseLineOnlyForBiosEightToThirtyOne) {
    SetRelease("V2.31 2026-03");
    struct Case {
        std::uint8_t bios;
        bool shown;
    };
    for (const Case c : {Case{7, false}, Case{8, true}, Case{31, true}, Case{32, false}}) {
        SCOPED_TRACE(int(c.bios));
        window.releaseVisible = !c.shown;
        window.releaseLine.clear();
        SetDevice(c.bios, 5, 1, true);
        ShowBoardIdentity();
        EXPECT_EQ(window.releaseVisible, c.shown);
        if (c.shown) {
            EXPECT_EQ(window.releaseLine, "V2.31 2026-03");
        }
    }
}

TEST_F(IdentificationDisplayTest, ErasedReleaseTextShowsEmpty) {
    SetRelease("\xFF\xFF\xFF");
    SetDevice(9, 5, 1, true);
    ShowBoardIdentity();
    EXPECT_TRUE(window.releaseVisible);
    EXPECT_EQ(window.releaseLine, "");
}

TEST_F(IdentificationDisplayTest, NothingWithoutAnUpdaterWindow) {
    ResetStatusReporting();
    SetDevice(9, 5, 1, true);
    ShowBoardIdentity();
    WarnNoImage();
    EXPECT_TRUE(window.identityLine.empty());
    EXPECT_TRUE(window.resultText.empty());
}

TEST_F(IdentificationDisplayTest, WarningsReportInRedAndMarkTheDevicePanel) {
    test::FakeNotifier notifier;
    RegisterStatusNotifier(&notifier);
    SetDevice(9, 5, 1, true);
    struct Case {
        void (*warn)();
        const char* text;
    };
    for (const Case c :
         {Case{WarnNoImage, " No Hex inside !! "}, Case{WarnImageTooBig, " Hex too Big !! "}}) {
        window.identityLine.clear();
        c.warn();
        EXPECT_EQ(window.resultText, c.text);
        EXPECT_EQ(window.resultBackground, kColourRed);
        EXPECT_EQ(window.statusBar.Panel(DevicePanelIndex), "Warning");
        EXPECT_EQ(window.identityLine, "BIOS:09 - " + BoardNameOf(5) + " - Preparation01");
        ASSERT_FALSE(notifier.codes.empty());
        EXPECT_EQ(notifier.codes.back(), 0);
    }
}

TEST_F(IdentificationDisplayTest, WarningsAreSilentInUpgradeMode) {
    test::FakeUpgradeWindow upgrade;
    test::FakeNotifier notifier;
    RegisterUpgradeWindow(&upgrade);
    RegisterStatusNotifier(&notifier);
    SetDevice(9, 5, 1, true);
    WarnNoImage();
    WarnImageTooBig();
    EXPECT_TRUE(window.resultText.empty());
    EXPECT_TRUE(window.identityLine.empty());
    EXPECT_TRUE(upgrade.statusBar.History().empty());
    EXPECT_TRUE(notifier.codes.empty());
}

}  // namespace
}  // namespace vorlan
