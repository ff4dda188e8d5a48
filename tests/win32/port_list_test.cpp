// COM names and the port list on Windows: the system's device names, and the
// list made from the serial device map and the setup classes' names.
#include <gtest/gtest.h>

#include <string>

#include "platform/com_naming.h"
#include "platform/port_source.h"
#include "platform/win32/port_names.h"

namespace vorlan {
namespace {

TEST(Win32ComNaming, DevicePathsAndComNumbersBothWays) {
    const struct {
        int com;
        const char* path;
    } rows[] = {{1, "\\\\.\\COM1"},
                {10, "\\\\.\\COM10"},
                {257, "\\\\.\\COM257"},
                {0, ""},
                {258, ""},
                {-1, ""}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.com);
        EXPECT_EQ(DevicePathOfCom(row.com), row.path);
        if (row.path[0] != '\0') {
            EXPECT_EQ(ComNumberOfDevice(row.path), row.com);
        }
    }
    EXPECT_EQ(ComNumberOfDevice("com12"), 12);
    for (const char* other : {"COM0", "COM03", "COM", "COM3x", "LPT1", "CNCA0", "\\\\.\\COM258"}) {
        SCOPED_TRACE(other);
        EXPECT_FALSE(ComNumberOfDevice(other).has_value());
    }
    EXPECT_TRUE(PortAliases(PortAliasFolder()).empty());
}

TEST(Win32PortList, DeviceMapInComOrderWithTheSetupClassesNames) {
    const std::vector<DeviceMapEntry> deviceMap = {
        {"\\Device\\VCP0", "COM12"},   {"\\Device\\Serial0", "COM1"},
        {"\\Device\\CNCA0", "CNCA0"},  // a virtual pair's end without a COM name
        {"\\Device\\Serial1", "com3"}, {"\\Device\\Other", "COM1"},
    };
    const std::map<std::string, std::string> friendly = {
        {"COM12", "USB Serial Port (COM12)"},
        {"com1", "Communications Port"},
    };
    const std::vector<PortEntry> entries = PortEntriesOf(deviceMap, friendly);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].portName, "COM1");
    EXPECT_EQ(entries[0].friendlyName, "Communications Port (COM1)");
    EXPECT_EQ(entries[1].portName, "COM3");
    EXPECT_EQ(entries[1].friendlyName, "Serial Port - \\Device\\Serial1 (COM3)");
    EXPECT_EQ(entries[2].portName, "COM12");
    EXPECT_EQ(entries[2].friendlyName, "USB Serial Port (COM12)");
}

TEST(Win32PortList, AnOverlongFriendlyNameIsCutAndStillEndsInTheComName) {
    const std::string label = std::string(250, 'x') + " (COM5)";
    const auto entries = PortEntriesOf({{"\\Device\\VCP0", "COM5"}}, {{"COM5", label}});
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].friendlyName.size(), kFriendlyNameMaxBytes);
    EXPECT_TRUE(entries[0].friendlyName.ends_with("x... (COM5)")) << entries[0].friendlyName;
}

// Whatever the machine has, the list keeps its promises.
TEST(Win32PortList, TheSystemsListIsInComOrderAndNamesEachPort) {
    int previous = 0;
    for (const PortEntry& entry : PresentSerialPorts("", "")) {
        SCOPED_TRACE(entry.portName);
        const auto number = ComNumberOfDevice(entry.portName);
        ASSERT_TRUE(number.has_value());
        EXPECT_GT(*number, previous);
        previous = *number;
        EXPECT_TRUE(entry.friendlyName.ends_with(" (" + entry.portName + ")"));
        EXPECT_LE(entry.friendlyName.size(), kFriendlyNameMaxBytes);
    }
}

}  // namespace
}  // namespace vorlan
