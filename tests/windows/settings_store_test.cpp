// The setting "com" between runs: a missing store, values of other types,
// a store that cannot be written, and the machine-wide default.
#include "platform/settings_store.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <stdexcept>

#include "tests/windows/window_fixture.h"

namespace vorlan::test {
namespace {

using SettingsStoreTest = WindowTest;

TEST_F(SettingsStoreTest, MissingStoreReadsEmptyAndFirstWriteCreatesIt) {
    EXPECT_EQ(ReadSetting("com"), "");
    WriteSetting("com", "0");
    EXPECT_TRUE(QFile::exists(QString::fromStdString(SettingsFile())));
    EXPECT_EQ(ReadSetting("com"), "0");
    EXPECT_EQ(ReadSetting("other"), "");
}

TEST_F(SettingsStoreTest, TextIsReturnedAsStoredUpToItsFirstZero) {
    WriteSetting("com", "7 and more");
    EXPECT_EQ(ReadSetting("com"), "7 and more");
    WriteSettingsFile("[General]\ncom=\"4\\0\x39\"\n");
    EXPECT_EQ(ReadSetting("com"), "4");
}

TEST_F(SettingsStoreTest, ValueOfAnotherTypeIsRefusedByName) {
    for (const char* stored :
         {"com=@Variant(\\0\\0\\0\\x2\\0\\0\\0\\a)\n", "com=@ByteArray(3)\n", "com=1, 2\n"}) {
        SCOPED_TRACE(stored);
        WriteSettingsFile(std::string("[General]\n") + stored);
        try {
            ReadSetting("com");
            ADD_FAILURE() << "no error raised";
        } catch (const std::runtime_error& error) {
            EXPECT_EQ(error.what(), "Invalid data type for 'com' in " + SettingsFile());
        }
    }
}

TEST_F(SettingsStoreTest, StoreThatCannotBeWrittenFailsSilently) {
    // A file where the store's folder should be: no one can write there.
    QFile blocker(settingsDir_.path() + QStringLiteral("/Quenta"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_NO_THROW(WriteSetting("com", "3"));
    EXPECT_EQ(ReadSetting("com"), "");
}

// Without VORLAN_SETTINGS_DIR the user's file wins over the machine-wide one,
// which still gives the default, and writes never go to the machine's file.
TEST_F(SettingsStoreTest, UserFileFallsBackToMachineWideDefault) {
    ::unsetenv("VORLAN_SETTINGS_DIR");
    QTemporaryDir user;
    QTemporaryDir machine;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, user.path());
    QSettings::setPath(QSettings::NativeFormat, QSettings::SystemScope, machine.path());
    {
        QSettings administrator(machine.path() + QStringLiteral("/Quenta/Vorlan.conf"),
                                QSettings::IniFormat);
        administrator.setValue(QStringLiteral("com"), QStringLiteral("5"));
    }
    EXPECT_EQ(ReadSetting("com"), "5");
    WriteSetting("com", "2");
    EXPECT_EQ(ReadSetting("com"), "2");
    EXPECT_TRUE(QFile::exists(user.path() + QStringLiteral("/Quenta/Vorlan.conf")));
    QSettings administrator(machine.path() + QStringLiteral("/Quenta/Vorlan.conf"),
                            QSettings::IniFormat);
    EXPECT_EQ(administrator.value(QStringLiteral("com")).toString(), QStringLiteral("5"));

    // A bad value names the file it came from.
    administrator.setValue(QStringLiteral("com"), QByteArray("5"));
    administrator.sync();
    for (const bool userHasIt : {true, false}) {
        QSettings own(user.path() + QStringLiteral("/Quenta/Vorlan.conf"), QSettings::IniFormat);
        if (userHasIt) {
            own.setValue(QStringLiteral("com"), QVariant(7));
        } else {
            own.remove(QStringLiteral("com"));
        }
        own.sync();
        try {
            ReadSetting("com");
            ADD_FAILURE() << "no error raised";
        } catch (const std::runtime_error& error) {
            EXPECT_EQ(error.what(), "Invalid data type for 'com' in " +
                                        (userHasIt ? user : machine).path().toStdString() +
                                        "/Quenta/Vorlan.conf");
        }
    }
}

}  // namespace
}  // namespace vorlan::test
