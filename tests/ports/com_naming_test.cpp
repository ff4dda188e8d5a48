// COM names: the alias folder first, then the fixed device scheme.
#include "platform/com_naming.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "tests/ports/temp_folder.h"

namespace vorlan {
namespace {

TEST(ComNamingTest, FixedSchemeBothWays) {
    struct Row {
        int com;
        const char* device;  // empty: no fixed device
    };
    const Row rows[] = {
        {1, "/dev/ttyS0"},
        {32, "/dev/ttyS31"},
        {33, "/dev/ttyUSB0"},
        {64, "/dev/ttyUSB31"},
        {65, "/dev/ttyACM0"},
        {96, "/dev/ttyACM31"},
        {97, ""},
        {257, ""},
        {0, ""},
        {-1, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.com);
        EXPECT_EQ(DevicePathOfCom(row.com, "/nonexistent/aliases"), row.device);
        if (row.device[0] != '\0') {
            EXPECT_EQ(ComNumberOfDevice(row.device), row.com);
        }
    }
    for (const char* other : {"/dev/ttyS32", "/dev/ttyUSB", "/dev/ttyUSB01", "/dev/ttyUSB-1",
                              "/dev/ttyAMA0", "/dev/pts/3", "ttyS0", "/dev/ttyS1x", ""}) {
        SCOPED_TRACE(other);
        EXPECT_FALSE(ComNumberOfDevice(other).has_value());
    }
}

TEST(ComNamingTest, AnAliasWinsEvenWhenItsDeviceIsMissing) {
    test::TempFolder folder;
    std::filesystem::create_symlink("/dev/ttyUSB3", folder / "com5");
    std::filesystem::create_symlink(folder / "gone", folder / "com33");
    EXPECT_EQ(DevicePathOfCom(5, folder.Path()), folder / "com5");
    EXPECT_EQ(DevicePathOfCom(33, folder.Path()), folder / "com33");  // shadows ttyUSB0
    EXPECT_EQ(DevicePathOfCom(6, folder.Path()), "/dev/ttyS5");
    EXPECT_EQ(DevicePathOfCom(120, folder.Path()), "");
}

// A folder that hides its links may hold one for this number: the fixed
// device could be another board, so nothing is opened.
TEST(ComNamingTest, AnAliasFolderThatCannotBeSearchedNamesNoDevice) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "root searches any folder";
    }
    test::TempFolder folder;
    std::filesystem::permissions(folder.Path(), std::filesystem::perms::none);
    const ComLookup lookup = LookUpCom(12, folder.Path());
    std::filesystem::permissions(folder.Path(), std::filesystem::perms::owner_all);
    EXPECT_EQ(lookup.devicePath, "");
    EXPECT_EQ(lookup.fixedPath, "/dev/ttyS11");
    EXPECT_FALSE(lookup.folderProblem.empty());
}

TEST(ComNamingTest, AliasFolderFromTheEnvironment) {
    test::TempFolder folder;
    setenv("VORLAN_PORT_DIR", folder.Path().c_str(), 1);
    EXPECT_EQ(PortAliasFolder(), folder.Path());
    std::filesystem::create_symlink("/dev/pts/7", folder / "com200");
    EXPECT_EQ(DevicePathOfCom(200), folder / "com200");
    unsetenv("VORLAN_PORT_DIR");
    EXPECT_EQ(PortAliasFolder(), "/etc/vorlan/ports");
}

TEST(ComNamingTest, AliasListTakesOnlyComLinksInNumberOrder) {
    test::TempFolder folder;
    std::filesystem::create_symlink("/dev/ttyUSB0", folder / "com12");
    std::filesystem::create_symlink("by-id/board", folder / "com3");
    std::filesystem::create_symlink("/dev/ttyS0", folder / "COM4");  // names are lower case
    std::filesystem::create_symlink("/dev/ttyS0", folder / "com0");
    std::filesystem::create_symlink("/dev/ttyS0", folder / "comx");
    std::ofstream(folder / "README") << "links named com<n>\n";
    auto aliases = PortAliases(folder.Path());
    ASSERT_EQ(aliases.size(), 2u);
    EXPECT_EQ(aliases[0].comNumber, 3);
    EXPECT_EQ(aliases[0].target, folder / "by-id/board");
    EXPECT_EQ(aliases[1].comNumber, 12);
    EXPECT_EQ(aliases[1].target, "/dev/ttyUSB0");
    EXPECT_TRUE(PortAliases("/nonexistent/aliases").empty());
}

}  // namespace
}  // namespace vorlan
