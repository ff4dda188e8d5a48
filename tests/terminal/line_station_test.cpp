// The pieces of a production station that need no board: the CRC-32 that
// records what went into a board, the --reset pulse on a port's modem line
// (through the fake backend: a pseudo-terminal has no modem lines), and the
// --firmware table.
#include <gtest/gtest.h>

#include <deque>
#include <string>

#include "engine/image_crc.h"
#include "ports/port_selection.h"
#include "ports/serial_driver.h"
#include "tests/ports/fake_serial_backend.h"
#include "tests/support/virtual_clock.h"
#include "terminal/board_presence.h"
#include "terminal/counting_port.h"
#include "terminal/firmware_table.h"

namespace vorlan::flash {
namespace {

TEST(LineStation, Crc32OfTheImageAsSent) {
    const std::string check = "123456789";  // the CRC-32 check value
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(check.data());
    EXPECT_EQ(Crc32(bytes, check.size()), 0xCBF43926u);
    EXPECT_EQ(Crc32(bytes + 4, 5, Crc32(bytes, 4)), 0xCBF43926u);  // in pieces

    // Program bytes after the jump block up to the length sent, then the
    // head, then the EEPROM: "12" is the jump, "6789" is left unsent.
    std::uint8_t program[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
    const std::uint8_t head[] = {'6', '7'};
    const std::uint8_t eeprom[] = {'8', '9'};
    ImageDescriptor image{head, 2, program, 9, eeprom, 2};
    const auto crcOf = [](const std::string& text) {
        return Crc32(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    };
    EXPECT_EQ(ImageCrc(image, 5, 2), crcOf("3456789"));
    // What was written: blocks of 2 whose ends lie in the skip window 4..6
    // ("34", "56") were not sent; the last block always is.
    RunPlan plan;
    plan.sendLength = 9;
    plan.blockSize = 2;
    plan.skipStart = 4;
    plan.skipLength = 2;
    EXPECT_EQ(SentImageCrc(image, plan, 2, 1), crcOf("7896789"));
    plan.skipStart = 0;
    EXPECT_EQ(SentImageCrc(image, plan, 2, 1), ImageCrc(image, 9, 2));
}

class ResetPulseTest : public ::testing::Test {
protected:
    void SetUp() override { SetSerialBackend(&os); }
    void TearDown() override {
        CloseAllPorts();
        SetSerialBackend(nullptr);
    }
    test::FakeSerialBackend os;
    test::VirtualClock clock;
};

TEST_F(ResetPulseTest, AssertsTheLineFor50MsThenReleasesIt) {
    os.modemLines = true;
    ASSERT_NE(OpenPort(4, 115200, 0, 2, 8), nullptr);
    const int handle = PortRecordAt(4).handle;
    std::string duringPulse;
    clock.SetPassHook([&](std::int64_t) { duringPulse = os.calls.back(); });
    for (const bool dtr : {true, false}) {
        os.calls.clear();
        const std::int64_t start = clock.ElapsedMs();
        EXPECT_EQ(PulseModemLine(4, dtr, clock), "");
        const std::string line = dtr ? "dtr " : "rts ";
        EXPECT_EQ(os.calls, (std::vector<std::string>{"set" + line + std::to_string(handle),
                                                      "clr" + line + std::to_string(handle)}));
        EXPECT_EQ(duringPulse, "set" + line + std::to_string(handle));
        EXPECT_EQ(clock.ElapsedMs() - start, 50);
    }
}

TEST_F(ResetPulseTest, APortWithoutModemLinesIsToldAndLeftAsItIs) {
    EXPECT_NE(PulseModemLine(4, true, clock).find("not open"), std::string::npos);
    ASSERT_NE(OpenPort(4, 115200, 0, 2, 8), nullptr);
    const std::string note = PulseModemLine(4, true, clock);
    EXPECT_NE(note.find("no DTR line"), std::string::npos) << note;
    EXPECT_NE(note.find("not reset"), std::string::npos) << note;
    EXPECT_EQ(os.calls.back(), "clrdtr " + std::to_string(PortRecordAt(4).handle));
}

// The station's byte count goes through the driver's drain, which ends on a
// line that never runs dry.
TEST_F(ResetPulseTest, TheStationCountsWhatTheBoundedDrainDiscarded) {
    ASSERT_NE(OpenPort(0, 115200, 0, 2, 8), nullptr);
    SelectedSerialPort serial;
    CountingPort port(serial);
    os.readSizes = {3072, 100, 0};
    EXPECT_EQ(port.Drain(), 3172);
    os.readSizes = std::deque<std::size_t>(1000, 3072);
    EXPECT_EQ(port.Drain(), 32 * 3072);
    EXPECT_EQ(port.BytesReceived(), 3172u + 32u * 3072u);
}

TEST(LineStation, TheFirmwareTableLinesUpItsColumns) {
    const std::vector<std::string> table = FirmwareTable(
        {"Device - Print          - Preparation", "-------------",
         "24HJ64 - DEMO-24HJ[16PIN] - CAN   [Code:04]", "258    - VL-X[A] - UNKNOWN  [Code:00]"});
    EXPECT_EQ(table, (std::vector<std::string>{
                         "Device  Print             Preparation",
                         std::string(44, '-'),
                         "24HJ64  DEMO-24HJ[16PIN]  CAN   [Code:04]",
                         "258     VL-X[A]           UNKNOWN  [Code:00]",
                     }));
}

}  // namespace
}  // namespace vorlan::flash
