// Start-up: the main window the version string selects, the one-copy rule
// and the error display, partly through the real program in child processes.
#include "app/qt/startup.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMainWindow>
#include <QProcess>
#include <QPushButton>
#include <QThread>
#include <QTimer>

#include "app/build_version.h"
#include "app/qt/updater_window.h"
#include "app/qt/upgrade_window.h"
#include "app/window_references.h"
#include "engine/status_reporting.h"
#include "engine/update_run.h"
#include "platform/settings_store.h"
#include "tests/desktop/window_fixture.h"

namespace vorlan::test {
namespace {

using StartupTest = WindowTest;

QMainWindow* ShownMainWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* window = qobject_cast<QMainWindow*>(widget);
        if (window != nullptr && window->isVisible())
            return window;
    }
    return nullptr;
}

TEST_F(StartupTest, VersionStringChoosesTheMainWindow) {
    struct Row {
        const char* version;
        bool upgrade;
    };
    for (const Row& row : {Row{"BRQc 01.00|06|00", true}, Row{"xyHNXz 2", true},
                           Row{"XYZ 01.00", false}, Row{"brq hnx 1.0", false}}) {
        SCOPED_TRACE(row.version);
        bool upgradeMode = !row.upgrade;
        QString title;
        bool allWindows = false;
        QTimer::singleShot(0, [&] {
            upgradeMode = IsUpgradeMode();
            allWindows = RegisteredUpdaterWindow() != nullptr && Windows().portSetup != nullptr &&
                         Windows().versionList != nullptr;
            if (QMainWindow* main = ShownMainWindow()) {
                title = main->windowTitle();
                main->close();
            } else {
                QCoreApplication::exit(0);
            }
        });
        int argc = 1;
        char name[] = "vorlan";
        char* argv[] = {name, nullptr};
        EXPECT_EQ(Startup(argc, argv, row.version), 0);
        EXPECT_EQ(upgradeMode, row.upgrade);
        EXPECT_TRUE(allWindows);
        EXPECT_TRUE(title.startsWith(row.upgrade ? QStringLiteral("Upgrade 1.0")
                                                 : QStringLiteral("Updater 2.7")))
            << title.toStdString();
        EXPECT_EQ(ReadSetting("com"), "0");
        EXPECT_FALSE(IsUpgradeMode());
        EXPECT_EQ(Windows().portSetup, nullptr);
    }
}

// The program's own pause and port: a search on a line where nobody answers,
// ended by closing the main window. The message loop ends only after the
// run has returned, and the program ends normally with the port stored.
TEST_F(StartupTest, ClosingTheMainWindowDuringARunEndsTheProgram) {
    ASSERT_GE(LinkPseudoTerminal("com1"), 0);
    WriteSettingsFile("[General]\ncom=0\n");
    bool runEnded = false;
    QTimer::singleShot(0, [&] {
        auto* upgrade = qobject_cast<UpgradeWindow*>(ShownMainWindow());
        ASSERT_NE(upgrade, nullptr);
        QTimer::singleShot(50, upgrade, [upgrade] { upgrade->close(); });
        upgrade->Button1()->click();  // returns when the run has ended
        runEnded = !IsRunActive();
    });
    int argc = 1;
    char name[] = "vorlan";
    char* argv[] = {name, nullptr};
    EXPECT_EQ(Startup(argc, argv, "BRQc 01.00|06|00"), 0);
    EXPECT_TRUE(runEnded);
    EXPECT_EQ(ReadSetting("com"), "0");
}

#ifdef VORLAN_PROGRAM_PATH
constexpr const char* kProgramPath = VORLAN_PROGRAM_PATH;
#else
constexpr const char* kProgramPath = "";
#endif

// The real program in a child process, with message boxes answered by the
// unattended hook and written to stderr.
class ProgramTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        if (kProgramPath[0] == '\0')
            GTEST_SKIP() << "this build has no desktop program to start (vorlan)";
    }

    void Start(QProcess& process, const QStringList& extraEnvironment = {}) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("VORLAN_TEST_DISMISS_MS"), QStringLiteral("20"));
        for (const QString& entry : extraEnvironment) {
            const auto equals = entry.indexOf(QLatin1Char('='));
            environment.insert(entry.left(equals), entry.mid(equals + 1));
        }
        process.setProcessEnvironment(environment);
        process.start(QString::fromUtf8(kProgramPath), {});
        ASSERT_TRUE(process.waitForStarted(10'000));
    }

    static std::string Finish(QProcess& process) {
        EXPECT_TRUE(process.waitForFinished(30'000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 0);
        return process.readAllStandardError().toStdString();
    }

    // true once the process holds a flock (the kernel's list of locks).
    static bool HoldsLock(qint64 pid) {
        QFile locks(QStringLiteral("/proc/locks"));
        if (!locks.open(QIODevice::ReadOnly))
            return false;
        const QByteArray wanted = " " + QByteArray::number(pid) + " ";
        for (const QByteArray& line : locks.readAll().split('\n')) {
            if (line.contains("FLOCK") && line.contains(wanted))
                return true;
        }
        return false;
    }
};

TEST_F(ProgramTest, SecondCopyShowsAlreadyInProgressAndEnds) {
    QProcess first;
    Start(first);
    for (int i = 0; i < 1000 && !HoldsLock(first.processId()); ++i) QThread::msleep(10);
    ASSERT_TRUE(HoldsLock(first.processId())) << "the first copy never took the lock";

    QProcess second;
    Start(second);
    const std::string said = Finish(second);
    EXPECT_NE(said.find("vorlan: message box \"Updater 2.7 - " VORLAN_BUILD_VERSION
                        "   [ Jan 11 2012 ]\": Already in progress"),
              std::string::npos)
        << said;
    EXPECT_EQ(first.state(), QProcess::Running);
    first.terminate();
    first.waitForFinished(10'000);

    // With the first copy gone, a new one starts; the screenshot hook shows
    // every window and ends it.
    QProcess third;
    const QString shots = settingsDir_.path() + QStringLiteral("/shots");
    Start(third, {QStringLiteral("VORLAN_SCREENSHOT_DIR=") + shots});
    const std::string thirdSaid = Finish(third);
    EXPECT_EQ(thirdSaid.find("Already in progress"), std::string::npos) << thirdSaid;
    for (const char* name :
         {"upgrade-window", "updater-window", "port-setup-window", "version-list-window"}) {
        if (std::string(name) == "upgrade-window" && !SelectsUpgradeWindow(VORLAN_BUILD_VERSION)) {
            continue;
        }
        EXPECT_TRUE(
            QFile::exists(shots + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".png")))
            << name;
    }
}

TEST_F(ProgramTest, ErrorDuringStartIsShownAndTheProgramEndsWithZero) {
    WriteSettingsFile("[General]\ncom=@ByteArray(2)\n");
    QProcess program;
    Start(program);
    const std::string said = Finish(program);
    EXPECT_NE(
        said.find("vorlan: message box \"" VORLAN_BUILD_VERSION "\": Invalid data type for 'com'"),
        std::string::npos)
        << said;
}

// Started from a terminal, the program says there why the port could not be
// used (COM60 is /dev/ttyUSB27 here, which this machine lacks).
TEST_F(ProgramTest, WhyThePortCannotBeUsedGoesToStandardError) {
    if (QFile::exists(QStringLiteral("/dev/ttyUSB27")))
        GTEST_SKIP() << "/dev/ttyUSB27 exists on this machine";
    WriteSettingsFile("[General]\ncom=59\n");
    QProcess program;
    Start(program, {QStringLiteral("VORLAN_SCREENSHOT_DIR=") + settingsDir_.path() +
                        QStringLiteral("/shots"),
                    QStringLiteral("VORLAN_SCREENSHOT_RUN=1")});
    const std::string said = Finish(program);
    EXPECT_NE(said.find("vorlan: Invalid Port Com - COM60 is /dev/ttyUSB27 (no link com60 in "),
              std::string::npos)
        << said;
    EXPECT_NE(said.find("): No such file or directory; is the adapter plugged in? the Setup window "
                        "lists the ports present\n"),
              std::string::npos)
        << said;
}

}  // namespace
}  // namespace vorlan::test
