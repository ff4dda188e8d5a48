// The driver's own logic against a recording backend: the order of the
// steps, what a refused step does to the record and the user's view, and the
// modem lines.
#include "ports/serial_driver.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/com_naming.h"
#include "tests/ports/fake_serial_backend.h"
#include "tests/ports/temp_folder.h"

namespace vorlan {
namespace {

using test::FakeSerialBackend;
using Step = FakeSerialBackend::Step;

class SerialDriverTest : public ::testing::Test {
protected:
    void SetUp() override {
        // An alias folder that does not exist: names follow the fixed scheme.
        setenv("VORLAN_PORT_DIR", "/nonexistent/vorlan-ports-test", 1);
        SetSerialBackend(&os);
        SetDriverMessageSink([this](const std::string& text, const std::string& caption) {
            messages.push_back(caption + "|" + text);
        });
    }
    void TearDown() override {
        CloseAllPorts();
        SetSerialBackend(nullptr);
        SetDriverMessageSink(nullptr);
        unsetenv("VORLAN_PORT_DIR");
    }
    PortRecord* Open(int index) { return OpenPort(index, 115200, 0, 2, 8); }

    FakeSerialBackend os;
    std::vector<std::string> messages;
};

// The line-state flags the driver must clear, whatever the device had.
constexpr bool LineSettings::*kClearedFlags[] = {
    &LineSettings::parityCheck,    &LineSettings::ctsFlow,          &LineSettings::dsrFlow,
    &LineSettings::dsrSensitivity, &LineSettings::txContinueOnXoff, &LineSettings::xonXoffOut,
    &LineSettings::xonXoffIn,      &LineSettings::errorChar,        &LineSettings::discardNull,
    &LineSettings::dtrHandshake,   &LineSettings::rtsHandshake,     &LineSettings::abortOnError,
};

TEST_F(SerialDriverTest, OpenAppliesTheLineAndKeepsTheStepOrder) {
    os.deviceLine = {9600, 7, 2, 0, false};
    for (auto flag : kClearedFlags) os.deviceLine.*flag = true;

    PortRecord* record = Open(2);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->index, 2);
    EXPECT_EQ(record->open, 1);
    EXPECT_EQ(os.calls,
              (std::vector<std::string>{"open " + DevicePathOfCom(3), "getline", "setline",
                                        "queues", "timeouts", "lowlatency 10"}));
    const LineSettings& line = os.appliedLine;
    EXPECT_EQ(line.baud, 115200u);
    EXPECT_EQ(line.dataBits, 8);
    EXPECT_EQ(line.parity, 0);
    EXPECT_EQ(line.stopBits, 2);
    EXPECT_TRUE(line.binary);
    for (auto flag : kClearedFlags) EXPECT_FALSE(line.*flag);
    EXPECT_EQ(os.queueIn, 32768u);
    EXPECT_EQ(os.queueOut, 9216u);
    EXPECT_EQ(os.appliedTimeouts.readInterval, 0xFFFFFFFFu);
    EXPECT_EQ(os.appliedTimeouts.writeTotalMultiplier, 10u);
    EXPECT_EQ(os.appliedTimeouts.writeTotalConstant, 1000u);
    EXPECT_TRUE(messages.empty());
}

TEST_F(SerialDriverTest, ARefusedStepLeavesTheRecordClosedAndTheDeviceReleased) {
    struct Row {
        Step refused;
        const char* message;  // empty: no message
    };
    const Row rows[] = {
        {Step::kOpen, ""},
        {Step::kGetLine, ""},
        {Step::kSetLine, "Error|Unable to configure the serial port"},
        {Step::kQueues, ""},
        {Step::kTimeouts, "Error|Unable to set the time-out parameters"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.refused));
        os.refuse = {row.refused};
        messages.clear();
        EXPECT_EQ(Open(4), nullptr);
        EXPECT_EQ(PortRecordAt(4).open, 0);
        EXPECT_EQ(PortRecordAt(4).index, 4);
        EXPECT_TRUE(os.heldHandles.empty());
        EXPECT_EQ(CheckPort(4), -2);
        if (row.message[0] == '\0') {
            EXPECT_TRUE(messages.empty());
        } else {
            EXPECT_EQ(messages, std::vector<std::string>{row.message});
        }
    }
}

TEST_F(SerialDriverTest, ReopeningAnOpenRecordReleasesTheOldDeviceFirst) {
    PortRecord* first = Open(1);
    ASSERT_NE(first, nullptr);
    int oldHandle = first->handle;
    os.calls.clear();
    PortRecord* second = Open(1);
    ASSERT_EQ(second, first);  // the record is reused
    ASSERT_GE(os.calls.size(), 3u);
    EXPECT_EQ(os.calls[0], "normallatency " + std::to_string(oldHandle));
    EXPECT_EQ(os.calls[1], "close " + std::to_string(oldHandle));
    EXPECT_EQ(os.calls[2], "open " + DevicePathOfCom(2));
    EXPECT_EQ(os.heldHandles.size(), 1u);
}

TEST_F(SerialDriverTest, OutOfRangeIndexesAndClosedRecordsDoNothing) {
    EXPECT_EQ(Open(-1), nullptr);
    EXPECT_EQ(Open(257), nullptr);
    for (int index : {-1, 257, -32768, 3}) {  // 3: in range but never opened
        SCOPED_TRACE(index);
        EXPECT_EQ(CheckPort(index), -2);
        const std::uint8_t byte = 0xC2;
        EXPECT_EQ(WritePort(index, &byte, 1), 0);
        std::uint8_t buffer[8];
        EXPECT_EQ(ReadPort(index, buffer, 8), 0);
        EXPECT_EQ(SetPortLines(index, 1), 0);
        ClosePort(index);
        DrainInput(index);
        WaitForInput(index, 100);
    }
    EXPECT_TRUE(os.calls.empty());
    EXPECT_TRUE(messages.empty());
}

TEST_F(SerialDriverTest, HighestIndexIsCom257) {
    test::TempFolder aliases;
    std::filesystem::create_symlink("/dev/null", aliases / "com257");
    setenv("VORLAN_PORT_DIR", aliases.Path().c_str(), 1);
    ASSERT_NE(Open(256), nullptr);
    EXPECT_EQ(os.openedPaths.back(), aliases / "com257");
    EXPECT_EQ(PortRecordAt(256).index, 256);
}

TEST_F(SerialDriverTest, ModemLinesAreSetOrClearedDtrFirstAndRefusalsChangeNothing) {
    PortRecord* record = Open(0);
    ASSERT_NE(record, nullptr);
    const std::string h = " " + std::to_string(record->handle);
    os.calls.clear();
    EXPECT_EQ(SetPortLines(0, 1), 0);
    EXPECT_EQ(SetPortLines(0, 0), 0);
    EXPECT_EQ(os.calls,
              (std::vector<std::string>{"clrdtr" + h, "clrrts" + h, "setdtr" + h, "setrts" + h}));
    EXPECT_EQ(CheckPort(0), 0);  // the fake refuses every modem-line call
}

TEST_F(SerialDriverTest, WriteWaitsForTheBytesAndReportsFailure) {
    ASSERT_NE(Open(0), nullptr);
    const std::uint8_t bytes[] = {0xC2, 0x00, 0x11, 0x13, 0x0D};
    os.calls.clear();
    EXPECT_EQ(WritePort(0, bytes, 5), 2);
    EXPECT_EQ(os.calls, (std::vector<std::string>{"write 5", "drain"}));
    EXPECT_EQ(os.lastWriteTimeoutMs, 1050u);
    EXPECT_EQ(os.written, std::vector<std::uint8_t>(bytes, bytes + 5));

    os.refuse = {Step::kWrite};
    os.calls.clear();
    EXPECT_EQ(WritePort(0, bytes, 5), 0);
    EXPECT_EQ(os.calls, std::vector<std::string>{"write 5"});  // no wait after a failure
    EXPECT_EQ(WritePort(0, bytes, -1), 0);
}

TEST_F(SerialDriverTest, CheckPortWaitsForQueuedOutput) {
    ASSERT_NE(Open(0), nullptr);
    os.calls.clear();
    os.refuse = {Step::kDrain};  // the wait's own result does not count
    EXPECT_EQ(CheckPort(0), 0);
    EXPECT_EQ(os.calls, std::vector<std::string>{"drain"});
}

TEST_F(SerialDriverTest, DrainInputReadsUntilTheFirstEmptyRead) {
    ASSERT_NE(Open(0), nullptr);
    os.readSizes = {3072, 100, 0, 50};
    os.calls.clear();
    EXPECT_EQ(DrainInput(0), 3172);
    EXPECT_EQ(os.calls, (std::vector<std::string>{"read", "read", "read"}));
    std::uint8_t buffer[3072];
    EXPECT_EQ(ReadPort(0, buffer, 3072), 50);  // arrived after the drain

    // A line that never runs dry ends the drain all the same.
    os.readSizes = std::deque<std::size_t>(1000, 3072);
    DrainInput(0);
    EXPECT_EQ(os.readSizes.size(), 1000u - 32u);
}

TEST_F(SerialDriverTest, AFailedOrDeadReadCountsAsNoData) {
    ASSERT_NE(Open(0), nullptr);
    std::uint8_t buffer[16];
    os.readSizes = {5};
    os.refuse = {Step::kRead};
    EXPECT_EQ(ReadPort(0, buffer, 16), 0);
    os.refuse.clear();
    os.hungUp = true;
    EXPECT_EQ(ReadPort(0, buffer, 16), 0);
    os.calls.clear();
    DrainInput(0);
    EXPECT_EQ(os.calls, std::vector<std::string>{"read"});
}

// Low latency is asked for at every open and put back at close only when the
// driver turned it on; a device without the setting is used all the same.
TEST_F(SerialDriverTest, LowLatencyIsAskedForAndPutBackAsItWas) {
    struct Row {
        bool wasOn;
        bool refused;
        bool putBack;
    };
    for (const Row& row :
         {Row{false, false, true}, Row{true, false, false}, Row{false, true, false}}) {
        SCOPED_TRACE(::testing::Message() << row.wasOn << row.refused);
        os.lowLatencyOn = row.wasOn;
        os.noLowLatency = row.refused;
        PortRecord* record = Open(0);
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(CheckPort(0), 0);
        const std::string h = std::to_string(record->handle);
        os.calls.clear();
        ClosePort(0);
        const std::vector<std::string> putBack{"normallatency " + h, "close " + h};
        EXPECT_EQ(os.calls, row.putBack ? putBack : std::vector<std::string>{"close " + h});
        EXPECT_EQ(os.lowLatencyOn, row.wasOn);
    }
}

TEST_F(SerialDriverTest, APortIsPresentUntilItsLineIsLostOrItsNameLeadsElsewhere) {
    EXPECT_FALSE(PortStillPresent(0));  // never opened
    std::uint8_t byte = 0xC2;
    const std::function<void(int)> losses[] = {
        [&](int) { os.hungUp = true, ReadPort(0, &byte, 1); },
        [&](int) { os.lineFault = SerialErrorKind::kHungUp, WritePort(0, &byte, 1); },
        [&](int) { os.lineFault = SerialErrorKind::kNotFound, CheckPort(0); },
        [&](int handle) { os.renamed.insert(handle); },  // a new device under the name
    };
    for (const auto& lose : losses) {
        os.hungUp = false;
        os.lineFault = SerialErrorKind::kNone;
        PortRecord* record = Open(0);
        ASSERT_NE(record, nullptr);
        EXPECT_TRUE(PortStillPresent(0));
        lose(record->handle);
        EXPECT_FALSE(PortStillPresent(0));
        EXPECT_EQ(CheckPort(0), 0);  // still open: the engine's waits notice
    }
}

}  // namespace
}  // namespace vorlan
