// The setting "com" in the registry, as QSettings keeps it on Windows: text
// only, the user's key over the machine's default, writes to the user's key.
// Each test works on a key of its own (VORLAN_SETTINGS_KEY).
#include "platform/settings_store.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <stdexcept>
#include <string>

namespace vorlan {
namespace {

class RegistrySettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        key_ = "Software\\Quenta\\VorlanTest-" + std::to_string(GetCurrentProcessId()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name();
        _putenv_s("VORLAN_SETTINGS_KEY", key_.c_str());
    }
    void TearDown() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, key_.c_str());
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, key_.c_str());
        _putenv_s("VORLAN_SETTINGS_KEY", "");
    }
    // Stores "com" as the given type and bytes; false when the hive refuses.
    bool Store(HKEY hive, DWORD type, const std::string& bytes) {
        HKEY key = nullptr;
        if (RegCreateKeyExA(hive, key_.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                            nullptr) != ERROR_SUCCESS) {
            return false;
        }
        const LONG result =
            RegSetValueExA(key, "com", 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                           static_cast<DWORD>(bytes.size()));
        RegCloseKey(key);
        return result == ERROR_SUCCESS;
    }
    std::string Stored(HKEY hive) {
        char text[64] = {};
        DWORD size = sizeof text;
        if (RegGetValueA(hive, key_.c_str(), "com", RRF_RT_REG_SZ, nullptr, text, &size) !=
            ERROR_SUCCESS) {
            return "(none)";
        }
        return std::string(text, size);
    }

    std::string key_;
};

TEST_F(RegistrySettingsTest, MissingKeyReadsEmptyAndAWriteStoresTextInTheUsersKey) {
    EXPECT_EQ(ReadSetting("com"), "");
    WriteSetting("com", "-1");
    EXPECT_EQ(Stored(HKEY_CURRENT_USER), std::string("-1\0", 3));
    EXPECT_EQ(ReadSetting("com"), "-1");
    EXPECT_EQ(ReadSetting("other"), "");
}

TEST_F(RegistrySettingsTest, TextEndsAtItsFirstZeroAndExpandableTextIsTakenAsItIs) {
    ASSERT_TRUE(Store(HKEY_CURRENT_USER, REG_SZ,
                      std::string("4\0"
                                  "9",
                                  3)));
    EXPECT_EQ(ReadSetting("com"), "4");
    ASSERT_TRUE(Store(HKEY_CURRENT_USER, REG_SZ, "12"));  // no terminator stored
    EXPECT_EQ(ReadSetting("com"), "12");
    ASSERT_TRUE(Store(HKEY_CURRENT_USER, REG_EXPAND_SZ, std::string("%PORT%\0", 7)));
    EXPECT_EQ(ReadSetting("com"), "%PORT%");
}

TEST_F(RegistrySettingsTest, ValueOfAnotherTypeIsRefusedByName) {
    const struct {
        DWORD type;
        std::string bytes;
    } rows[] = {
        {REG_DWORD, std::string(4, '\x03')},
        {REG_QWORD, std::string(8, '\0')},
        {REG_BINARY, "3"},
        {REG_MULTI_SZ, std::string("3\0\0", 3)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.type);
        ASSERT_TRUE(Store(HKEY_CURRENT_USER, row.type, row.bytes));
        try {
            ReadSetting("com");
            ADD_FAILURE() << "no error raised";
        } catch (const std::runtime_error& error) {
            EXPECT_STREQ(error.what(), "Invalid data type for 'com'");
        }
    }
}

TEST_F(RegistrySettingsTest, TheUsersValueWinsOverTheMachinesDefaultWhichWritesNeverTouch) {
    if (!Store(HKEY_LOCAL_MACHINE, REG_SZ, std::string("5\0", 2)))
        GTEST_SKIP() << "HKEY_LOCAL_MACHINE cannot be written without administrator rights";
    EXPECT_EQ(ReadSetting("com"), "5");
    WriteSetting("com", "2");
    EXPECT_EQ(ReadSetting("com"), "2");
    EXPECT_EQ(Stored(HKEY_LOCAL_MACHINE), std::string("5\0", 2));
}

}  // namespace
}  // namespace vorlan
