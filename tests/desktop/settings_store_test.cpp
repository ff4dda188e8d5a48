// The setting "com" between runs: a missing store, values of other types,
// a store that cannot be written, the machine-wide default, and the files
// as QSettings reads and writes them.
#include "platform/settings_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <utility>
#include <vector>

#include "tests/desktop/window_fixture.h"

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

// Environment variables set for one test and put back after it.
class ScopedEnvironment {
public:
    void Set(const char* name, const std::string& value) {
        Remember(name);
        ::setenv(name, value.c_str(), 1);
    }
    void Unset(const char* name) {
        Remember(name);
        ::unsetenv(name);
    }
    ~ScopedEnvironment() {
        for (const auto& [name, value] : saved_) {
            if (value) {
                ::setenv(name.c_str(), value->c_str(), 1);
            } else {
                ::unsetenv(name.c_str());
            }
        }
    }

private:
    void Remember(const char* name) {
        const char* value = std::getenv(name);
        saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
    }
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

// Without VORLAN_SETTINGS_DIR the user's file wins over the machine-wide one,
// which still gives the default, and writes never go to the machine's file.
TEST_F(SettingsStoreTest, UserFileFallsBackToMachineWideDefault) {
    QTemporaryDir user;
    QTemporaryDir machine;
    ScopedEnvironment environment;
    environment.Unset("VORLAN_SETTINGS_DIR");
    environment.Set("XDG_CONFIG_HOME", user.path().toStdString());
    environment.Set("XDG_CONFIG_DIRS", "relative/ignored:" + machine.path().toStdString());
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
            own.setValue(QStringLiteral("com"),
                         QStringList{QStringLiteral("7"), QStringLiteral("8")});
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

// The store reads and writes the files without Qt; QSettings is the judge of
// the format: what either writes, the other reads back unchanged, and a write
// keeps everything else in the file.
TEST_F(SettingsStoreTest, FilesAgreeWithQSettingsBothWays) {
    const std::string texts[] = {"",
                                 "5",
                                 "-1",
                                 " 7 ",
                                 "1, 2",
                                 "a=b;c",
                                 "quote \" and back\\slash",
                                 "tab\tline\nreturn\r",
                                 std::string("bell\x01\x1f") + "f",
                                 "@at",
                                 "@String(x)",
                                 "@@",
                                 "@Variant(x)",
                                 "\xc3\xbcml\xc3\xa4ut \xe2\x82\xac",
                                 "trailing blank ",
                                 "%key\\"};
    // A fresh file for every value and direction: QSettings keeps what it
    // read or wrote, and must read what the store wrote, not remember.
    int fresh = 0;
    const auto useFreshFolder = [&] {
        const QString folder = settingsDir_.path() + QStringLiteral("/%1").arg(++fresh);
        ::setenv("VORLAN_SETTINGS_DIR", folder.toStdString().c_str(), 1);
        return folder + QStringLiteral("/Quenta/Vorlan.conf");
    };
    for (const std::string& text : texts) {
        SCOPED_TRACE(text);
        const QString qtText = QString::fromStdString(text);
        QSettings(useFreshFolder(), QSettings::IniFormat).setValue(QStringLiteral("com"), qtText);
        EXPECT_EQ(ReadSetting("com"), text);

        const QString ours = useFreshFolder();
        WriteSetting("com", text);
        EXPECT_EQ(QSettings(ours, QSettings::IniFormat).value(QStringLiteral("com")).toString(),
                  qtText);
    }

    // Files left by hand or by Qt 5 (escapes beyond the BMP): the store reads
    // what QSettings reads, and QSettings what the store writes over them.
    // QSettings misses an indented first key after a byte order mark.
    const std::pair<std::string, bool> files[] = {{"com=\\xd83d\\xde00\n", true},
                                                  {"com=\\\xc3\xa9", true},
                                                  {"com=7 \\", true},
                                                  {"[general\f]\ncom\v=5\n", true},
                                                  {"\xef\xbb\xbf com=5\nx=1\n", false}};
    for (const auto& [text, qtReadsIt] : files) {
        SCOPED_TRACE(text);
        const QString path = useFreshFolder();
        QDir().mkpath(QFileInfo(path).path());
        QFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(text.data(), static_cast<qint64>(text.size()));
        out.close();
        if (qtReadsIt) {
            EXPECT_EQ(ReadSetting("com"), QSettings(path, QSettings::IniFormat)
                                              .value(QStringLiteral("com"))
                                              .toString()
                                              .toStdString());
        }
        WriteSetting("com", "7");
        EXPECT_EQ(QSettings(path, QSettings::IniFormat).value(QStringLiteral("com")).toString(),
                  QStringLiteral("7"));
    }

    ::setenv("VORLAN_SETTINGS_DIR", settingsDir_.path().toStdString().c_str(), 1);
    const QString file = QString::fromStdString(SettingsFile());
    WriteSettingsFile(
        "; written by hand\n"
        "[Window]\ngeometry=@ByteArray(abc)\n\n"
        "[general]\nother=\"x, y\"\nc%6Fm=1 ; the port\n");
    WriteSetting("com", "3");
    std::ifstream written(SettingsFile());
    const std::string after((std::istreambuf_iterator<char>(written)), {});
    EXPECT_EQ(after,
              "; written by hand\n"
              "[Window]\ngeometry=@ByteArray(abc)\n\n"
              "[general]\nother=\"x, y\"\ncom=3 ; the port\n");
    QSettings qt(file, QSettings::IniFormat);
    EXPECT_EQ(qt.value(QStringLiteral("com")).toString(), QStringLiteral("3"));
    EXPECT_EQ(qt.value(QStringLiteral("other")).toString(), QStringLiteral("x, y"));
    EXPECT_EQ(qt.value(QStringLiteral("Window/geometry")).toByteArray(), QByteArray("abc"));
}

}  // namespace
}  // namespace vorlan::test
