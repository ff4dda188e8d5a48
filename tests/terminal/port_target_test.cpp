// A device given to --port gets the COM number that leads to it, or one this
// process opens as that device.
#include "terminal/port_target.h"

#include <gtest/gtest.h>

#include <fstream>

#include "platform/com_naming.h"
#include "tests/ports/temp_folder.h"

namespace vorlan::flash {
namespace {

namespace fs = std::filesystem;

TEST(PortTarget, ADeviceGetsTheComNumberThatLeadsToIt) {
    test::TempFolder folder;
    const fs::path temp = folder.Path();
    const fs::path aliases = temp / "ports";
    fs::create_directories(aliases);
    const fs::path device = temp / "ttyBoard";
    std::ofstream(device) << "";
    fs::create_symlink(device, aliases / "com12");
    fs::create_symlink(device, temp / "by-name");

    EXPECT_EQ(ComNumberForDevice(device.string(), aliases.string()), 12);
    EXPECT_EQ(ComNumberForDevice((temp / "by-name").string(), aliases.string()), 12);

    // No COM name leads to it: the highest number without a link.
    const fs::path other = temp / "ttyOther";
    std::ofstream(other) << "";
    fs::create_symlink(device, aliases / "com257");
    EXPECT_EQ(ComNumberForDevice(other.string(), aliases.string()), 256);
    EXPECT_EQ(DevicePathOfCom(256, aliases.string()), other.string());
    SetComDeviceOverride(256, "");
    EXPECT_EQ(DevicePathOfCom(256, aliases.string()), "");

    // An adapter not plugged in keeps the number it will have, unless a
    // link has taken that number for another device.
    EXPECT_EQ(ComNumberForDevice("/dev/ttyUSB29", aliases.string()), 62);
    fs::create_symlink(device, aliases / "com62");
    EXPECT_NE(ComNumberForDevice("/dev/ttyUSB29", aliases.string()), 62);
    SetComDeviceOverride(256, "");
}

}  // namespace
}  // namespace vorlan::flash
