// The port list against a made-up sysfs tree and alias folder.
#include "ports/port_enumeration.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/ports/temp_folder.h"

namespace vorlan {
namespace {

namespace fs = std::filesystem;

class PortEnumerationTest : public ::testing::Test {
protected:
    // A tty in <root>/class/tty whose device link points at devices/<devicePath>.
    void AddTty(const std::string& name, const std::string& devicePath,
                const std::string& type = "") {
        fs::path tty = fs::path(sys_.Path()) / "class/tty" / name;
        fs::create_directories(tty);
        if (!devicePath.empty()) {
            fs::path device = fs::path(sys_.Path()) / "devices" / devicePath;
            fs::create_directories(device);
            fs::create_directory_symlink(device, tty / "device");
        }
        if (!type.empty())
            Write(tty / "type", type);
    }
    void AddUsbDevice(const std::string& path, const std::string& product,
                      const std::string& manufacturer) {
        fs::path device = fs::path(sys_.Path()) / "devices" / path;
        fs::create_directories(device);
        Write(device / "idVendor", "0403");
        if (!product.empty())
            Write(device / "product", product);
        if (!manufacturer.empty())
            Write(device / "manufacturer", manufacturer);
    }
    static void Write(const fs::path& file, const std::string& text) {
        std::ofstream(file) << text << '\n';
    }
    std::vector<PortEntry> Walk() {
        std::vector<PortEntry> entries;
        PortList* list = OpenPortList(sys_.Path(), aliases_.Path());
        char name[kPortTextBufferSize];
        char friendly[kPortTextBufferSize];
        while (NextPort(list, name, friendly) == 1) entries.push_back({name, friendly});
        EXPECT_EQ(ClosePortList(list), 1);
        return entries;
    }

    test::TempFolder sys_;
    test::TempFolder aliases_;
};

TEST_F(PortEnumerationTest, ListsSerialPortsWithFriendlyNamesInComOrder) {
    AddTty("tty0", "");  // a virtual console: no device
    AddTty("ttyS0", "platform/serial8250/tty/ttyS0", "4");
    AddTty("ttyS1", "platform/serial8250/tty/ttyS1", "0");  // no UART
    AddUsbDevice("pci0/usb1/1-1", "FT232R USB UART", "FTDI");
    AddTty("ttyUSB0", "pci0/usb1/1-1/1-1:1.0/ttyUSB0");
    AddUsbDevice("pci0/usb1/1-2", "", "Acme");
    AddTty("ttyACM0", "pci0/usb1/1-2/1-2:1.0");
    AddTty("ttyAMA0", "platform/uart0");  // named only by an alias
    fs::create_symlink("/dev/ttyAMA0", aliases_ / "com7");
    fs::create_symlink("/dev/nonexistent-board", aliases_ / "com9");  // board absent

    int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    const std::string pty = ptsname(master);
    fs::create_symlink(pty, aliases_ / "com200");  // as the board emulator does

    const std::vector<std::pair<std::string, std::string>> expected = {
        {"COM1", "Communications Port - /dev/ttyS0 (COM1)"},
        {"COM7", "Serial Port - /dev/ttyAMA0 (COM7)"},
        {"COM33", "FT232R USB UART - /dev/ttyUSB0 (COM33)"},
        {"COM65", "Acme - /dev/ttyACM0 (COM65)"},
        {"COM200", "Pseudo-terminal - " + pty + " (COM200)"},
    };
    std::vector<PortEntry> entries = Walk();
    close(master);
    ASSERT_EQ(entries.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(entries[i].portName, expected[i].first);
        EXPECT_EQ(entries[i].friendlyName, expected[i].second);
    }
}

TEST_F(PortEnumerationTest, AnAliasTakesOverItsNumber) {
    AddTty("ttyUSB0", "usb/ttyUSB0");
    AddTty("ttyUSB1", "usb/ttyUSB1");
    fs::create_symlink("/dev/ttyUSB1", aliases_ / "com33");  // COM33 now opens ttyUSB1
    fs::create_symlink("/dev/ttyUSB1", aliases_ / "com40");
    std::vector<PortEntry> entries = Walk();
    ASSERT_EQ(entries.size(), 1u);  // ttyUSB0 has no COM name left
    EXPECT_EQ(entries[0].friendlyName, "USB Serial Port - /dev/ttyUSB1 (COM33)");
}

TEST_F(PortEnumerationTest, EmptyOrMissingTreeGivesAnEmptyList) {
    EXPECT_TRUE(Walk().empty());
    PortList* list = OpenPortList("/nonexistent/sys", "/nonexistent/aliases");
    char name[kPortTextBufferSize];
    EXPECT_EQ(NextPort(list, name, nullptr), 0);
    EXPECT_EQ(ClosePortList(list), 1);
    EXPECT_EQ(ClosePortList(nullptr), 0);
    EXPECT_EQ(NextPort(nullptr, name, nullptr), 0);
}

TEST_F(PortEnumerationTest, AWalkThatEndedStartsAgainAtTheFirstPort) {
    AddTty("ttyS0", "serial/ttyS0", "4");
    AddTty("ttyS2", "serial/ttyS2", "4");
    PortList* list = OpenPortList(sys_.Path(), aliases_.Path());
    char name[kPortTextBufferSize];
    EXPECT_EQ(NextPort(list, name, nullptr), 1);
    EXPECT_STREQ(name, "COM1");
    EXPECT_EQ(NextPort(list, name, nullptr), 1);
    EXPECT_EQ(NextPort(list, name, nullptr), 0);
    EXPECT_EQ(NextPort(list, name, nullptr), 1);
    EXPECT_STREQ(name, "COM1");
    ClosePortList(list);
}

TEST_F(PortEnumerationTest, AnOverlongProductNameIsCutAndStillEndsInTheComName) {
    // 150 two-byte characters and a control character from the device.
    std::string product = "Board\x07";
    for (int i = 0; i < 150; ++i) product += "\xC3\xA9";
    AddUsbDevice("usb/1-1", product, "");
    AddTty("ttyUSB0", "usb/1-1/1-1:1.0/ttyUSB0");
    std::vector<PortEntry> entries = Walk();
    ASSERT_EQ(entries.size(), 1u);
    const std::string& friendly = entries[0].friendlyName;
    EXPECT_LE(friendly.size(), kPortTextBufferSize - 1);
    EXPECT_EQ(friendly.rfind("Board \xC3\xA9", 0), 0u);
    const std::string tail = "... - /dev/ttyUSB0 (COM33)";
    ASSERT_GT(friendly.size(), tail.size());
    EXPECT_EQ(friendly.substr(friendly.size() - tail.size()), tail);
    // The cut falls between characters, not inside one.
    const std::size_t cut = friendly.size() - tail.size();
    EXPECT_EQ(friendly.substr(cut - 2, 2), "\xC3\xA9");
}

}  // namespace
}  // namespace vorlan
