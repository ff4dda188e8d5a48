#include "engine/command_frame.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "engine/link_state.h"
#include "engine/status_reporting.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/fake_views.h"

namespace vorlan {
namespace {

using test::Bytes;

TEST(FrameChecksumTest, FrameAddsUpToZero) {
    const struct {
        Bytes body;
        std::uint8_t checksum;
    } cases[] = {
        {{0x01, 0x02, 0x03}, 0xFA},
        {{0x40, 0x00, 0xAB, 0x01, 0x00}, 0x14},
        {{0x80, 0x80}, 0x00},
        {{0xFF}, 0x01},
        {{0x00}, 0x00},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FrameChecksum(c.body.data(), static_cast<std::int32_t>(c.body.size())),
                  c.checksum);
    }
}

class SendCommandTest : public test::EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        RegisterUpdaterWindow(&updater);
    }

    // Sends the body 01 02 03 (frame 01 02 03 FA).
    std::int16_t Send() {
        frame = {0x01, 0x02, 0x03, 0x00};
        return SendCommand(frame.data(), 3);
    }

    std::vector<std::string> Resends() const { return updater.statusBar.PanelHistory(1); }

    test::FakeUpdaterWindow updater;
    Bytes frame;
};

TEST_F(SendCommandTest, AckOnFirstSend) {
    port.AnswerEveryWriteWith({'K'});
    EXPECT_EQ(Send(), kLinkOk);
    ASSERT_EQ(port.Writes().size(), 1u);
    EXPECT_EQ(port.Writes()[0], (Bytes{0x01, 0x02, 0x03, 0xFA}));
    EXPECT_TRUE(Resends().empty());
}

TEST_F(SendCommandTest, RefusedFramesAreSentAgainUnchanged) {
    port.AnswerWritesInTurn({{'N'}, {'N'}, {'K'}});
    EXPECT_EQ(Send(), kLinkOk);
    ASSERT_EQ(port.Writes().size(), 3u);
    for (const Bytes& written : port.Writes()) {
        EXPECT_EQ(written, (Bytes{0x01, 0x02, 0x03, 0xFA}));
    }
    EXPECT_EQ(Resends(), (std::vector<std::string>{"Resend 0", "Resend 1"}));
    EXPECT_EQ(updater.statusBar.Repaints(), 2);
}

TEST_F(SendCommandTest, FiveRefusalsAreAChecksumErrorInBothModes) {
    for (bool upgradeMode : {false, true}) {
        SCOPED_TRACE(upgradeMode ? "Upgrade mode" : "Updater window");
        test::FakeUpdaterWindow offScreen;
        test::FakeUpgradeWindow upgrade;
        test::ScriptedPort refusing;
        RegisterUpdaterWindow(&offScreen);
        RegisterUpgradeWindow(upgradeMode ? &upgrade : nullptr);
        BindLinkPort(&refusing);
        refusing.AnswerEveryWriteWith({'N'});

        EXPECT_EQ(Send(), kLinkChecksumError);
        EXPECT_EQ(refusing.Writes().size(), 5u);
        EXPECT_EQ(
            offScreen.statusBar.PanelHistory(1),
            (std::vector<std::string>{"Resend 0", "Resend 1", "Resend 2", "Resend 3", "Resend 4"}));
        EXPECT_EQ(offScreen.statusBar.Repaints(), 5);
        EXPECT_TRUE(upgrade.statusBar.History().empty());
    }
}

TEST_F(SendCommandTest, RefusalsWithoutAnUpdaterWindowShowNothing) {
    RegisterUpdaterWindow(nullptr);
    port.AnswerEveryWriteWith({'N'});
    EXPECT_EQ(Send(), kLinkChecksumError);
    EXPECT_EQ(port.Writes().size(), 5u);
}

TEST_F(SendCommandTest, SilenceAfterARefusalIsNoResponse) {
    port.AnswerWritesInTurn({{'N'}});
    EXPECT_EQ(Send(), kLinkNoResponse);
    EXPECT_EQ(port.Writes().size(), 2u);
    EXPECT_EQ(clock.Passes(), 1 + 200);
}

TEST_F(SendCommandTest, LeftoverAckDoesNotAnswerANewFrame) {
    Link().ackFlag = 1;
    EXPECT_EQ(Send(), kLinkNoResponse);
    EXPECT_EQ(clock.Passes(), 200);
}

// Each frame has one answer. A reply waiting before a frame goes out, once a
// frame has gone out since the search, or a second 'K' with the answer,
// answers no frame: an acknowledgement no longer says which frame was written.
TEST_F(SendCommandTest, RepliesThatAnswerNoFrameAreOutOfStep) {
    const struct {
        const char* name;
        bool framesSent;
        std::vector<test::ReplyChunk> waiting;  // before the frame is written
        std::vector<Bytes> answers;             // to each write, in turn
        std::int16_t result;
        std::size_t writes;
    } cases[] = {
        {"late programming-mode answer", false, {{{'K'}}, {{'N'}}}, {{'K'}}, kLinkOk, 1},
        {"reply left from an earlier frame", true, {{{'K'}}}, {{'K'}}, kLinkOutOfStep, 0},
        {"refusal left from an earlier frame", true, {{{'N', 0x11}}}, {{'K'}}, kLinkOutOfStep, 0},
        {"noise left from an earlier frame", true, {{{0x00, 0x7F}}}, {{'K'}}, kLinkOk, 1},
        {"two acknowledgements", true, {}, {{'K', 'K'}}, kLinkOutOfStep, 1},
        {"refusal and ack together", true, {}, {{'N', 'K'}, {'K'}}, kLinkOk, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ResetLinkState();
        test::ScriptedPort line;
        BindLinkPort(&line);
        Link().commandFramesSent = c.framesSent;
        for (const test::ReplyChunk& chunk : c.waiting) line.Deliver(chunk.bytes);
        line.AnswerWritesInTurn(c.answers);
        EXPECT_EQ(Send(), c.result);
        EXPECT_EQ(line.Writes().size(), c.writes);
    }
}

TEST_F(SendCommandTest, SecondAnswerArrivingApartStopsTheNextFrame) {
    port.SetAnswerPolicy([](const Bytes&) {
        return std::vector<test::ReplyChunk>{{{'K'}, 0}, {{'K'}, 0}};
    });
    EXPECT_EQ(Send(), kLinkOk);
    EXPECT_EQ(Send(), kLinkOutOfStep);
    EXPECT_EQ(port.Writes().size(), 1u);
}

TEST_F(SendCommandTest, StopDuringTheWaitEndsAtOnce) {
    clock.PressStopAt(40);
    EXPECT_EQ(Send(), kLinkUserAbort);
    EXPECT_EQ(port.Writes().size(), 1u);
    EXPECT_EQ(clock.Passes(), 40);
    EXPECT_FALSE(Link().stopRequest);
}

TEST_F(SendCommandTest, LinkErrorsAreReportedRedWithCodeZero) {
    test::FakeNotifier notifier;
    RegisterStatusNotifier(&notifier);
    const struct {
        std::int16_t result;
        const char* text;
    } cases[] = {
        {kLinkNoResponse, " not Response "},
        {kLinkUserAbort, " User Abort !! "},
        {kLinkChecksumError, " CHK Error !! "},
        {kLinkIncompatibleBootloader, " Incompatible Bootloader !! "},
        {kLinkOutOfStep, " Answer out of step !! "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        updater.startVisible = false;
        updater.stopVisible = true;
        ShowLinkError(c.result);
        EXPECT_EQ(updater.resultText, c.text);
        EXPECT_EQ(updater.resultBackground, kColourRed);
        EXPECT_EQ(updater.resultTextColour, kColourWhite);
        EXPECT_TRUE(updater.startVisible);
        EXPECT_FALSE(updater.stopVisible);
    }
    EXPECT_EQ(notifier.codes, (std::vector<std::uint8_t>{0, 0, 0, 0, 0}));
}

TEST_F(SendCommandTest, ResultsWithoutATextShowNothing) {
    test::FakeNotifier notifier;
    RegisterStatusNotifier(&notifier);
    for (std::int16_t result : std::initializer_list<std::int16_t>{0, 1, -8, 32767, -32768}) {
        ShowLinkError(result);
        EXPECT_TRUE(LinkErrorText(result).empty());
    }
    EXPECT_EQ(updater.resultWrites, 0);
    EXPECT_TRUE(notifier.codes.empty());
}

}  // namespace
}  // namespace vorlan
