// The main windows with the program's own serial port and pause against
// vorlan-board on a pseudo-terminal, as a technician meets them: the board
// unplugged and plugged in again, START double-clicked, a port that cannot be
// opened and why, and the long step texts of a run in their panel.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QProcess>
#include <QPushButton>
#include <QStyleHints>
#include <QTimer>
#include <QToolTip>
#include <algorithm>
#include <filesystem>
#include <functional>

#include "app/panel_status_bar.h"
#include "app/qt_pause.h"
#include "app/updater_window.h"
#include "app/upgrade_window.h"
#include "platform/serial_backend.h"
#include "ports/port_selection.h"
#include "tests/dialogs/window_grab.h"
#include "tests/windows/window_fixture.h"

namespace vorlan::test {
namespace {

// COM60 is /dev/ttyUSB27 when no alias names it: a device this machine lacks.
constexpr int kBoardCom = 60;
const char* const kAbsentDevice = "/dev/ttyUSB27";

class WindowBoardTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        if (!QFile::exists(QStringLiteral(VORLAN_BOARD_PROGRAM)))
            GTEST_SKIP() << "vorlan-board is not built";
        if (std::filesystem::exists(kAbsentDevice))
            GTEST_SKIP() << kAbsentDevice << " exists on this machine";
        WriteSettingsFile("[General]\ncom=" + std::to_string(kBoardCom - 1) + "\n");
        BindLinkPort(&serial_);
        BindPause(&pause_);
    }
    void TearDown() override {
        StopBoard();
        WindowTest::TearDown();
    }

    // Plugs the board in: vorlan-board serving COM60 until StopBoard.
    void StartBoard(const QStringList& options = {}) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("VORLAN_PORT_DIR"), portDir_.path());
        board_.setProcessEnvironment(environment);
        board_.start(QStringLiteral(VORLAN_BOARD_PROGRAM),
                     QStringList{QStringLiteral("--com"), QString::number(kBoardCom)} + options);
        ASSERT_TRUE(board_.waitForStarted(10'000));
        while (!board_.readAllStandardOutput().contains("serving COM")) {
            ASSERT_TRUE(board_.waitForReadyRead(10'000)) << "vorlan-board did not start";
        }
    }
    // Unplugs it: the emulator ends and takes its alias link with it.
    void StopBoard() {
        if (board_.state() == QProcess::NotRunning)
            return;
        board_.terminate();
        board_.waitForFinished(10'000);
    }
    std::string ComLink() const {
        return portDir_.path().toStdString() + "/com" + std::to_string(kBoardCom);
    }

    SelectedSerialPort serial_;
    QtPause pause_;
    QProcess board_;
};

// With VORLAN_SCREENSHOT_DIR set: the window with the tooltip of one of its
// widgets over it, as a person pointing at the widget sees it.
void SaveToolTipGrab(QWidget& window, QWidget& owner, const char* name) {
    const QString folder = qEnvironmentVariable("VORLAN_SCREENSHOT_DIR");
    if (folder.isEmpty())
        return;
    QToolTip::showText(owner.mapToGlobal(owner.rect().center()), owner.toolTip(), &owner);
    QCoreApplication::processEvents();
    QPixmap shot = window.grab();
    for (QWidget* tip : QApplication::topLevelWidgets()) {
        if (!tip->inherits("QTipLabel") || !tip->isVisible())
            continue;
        const QPoint offset = tip->mapToGlobal(QPoint()) - window.mapToGlobal(QPoint());
        const QRect whole = shot.rect().united(QRect(offset, tip->size()));
        QPixmap canvas(whole.size());
        canvas.fill(Qt::white);
        QPainter painter(&canvas);
        painter.drawPixmap(-whole.topLeft(), shot);
        painter.drawPixmap(offset - whole.topLeft(), tip->grab());
        painter.end();
        shot = canvas;
    }
    // An empty text removes the tip at once: a tip left fading out would
    // still point at this window after the test has destroyed it.
    QToolTip::showText(QPoint(), QString());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    shot.save(QDir(folder).filePath(QString::fromLatin1(name) + QStringLiteral(".png")));
}

std::string StepText(UpgradeWindow& window) {
    return window.StatusBar1()->PanelText(1).toStdString();
}
std::string StepTip(UpgradeWindow& window) {
    return window.StatusBar1()->Panel(1)->toolTip().toStdString();
}

TEST_F(WindowBoardTest, AReplugOrARestartedEmulatorIsFoundByTheNextStart) {
    StartBoard();
    UpgradeWindow upgrade;
    upgrade.show();
    upgrade.Button1()->click();
    ASSERT_EQ(StepText(upgrade), "Program OK");

    StopBoard();  // unplugged and plugged in again between two runs
    StartBoard();
    upgrade.Button1()->click();
    EXPECT_EQ(StepText(upgrade), "Program OK");
    SaveWindowGrab(upgrade, "mend1-replugged-program-ok");

    StopBoard();  // START while unplugged, then plugged in
    upgrade.Button1()->click();
    EXPECT_EQ(StepText(upgrade), "Invalid Port Com");
    EXPECT_EQ(StepTip(upgrade), "COM60: " + std::string(kAbsentDevice) +
                                    ": No such file or directory; is the adapter plugged in?");
    SaveToolTipGrab(upgrade, *upgrade.StatusBar1()->Panel(1), "mend3-unplugged-why");
    StartBoard();
    upgrade.Button1()->click();
    EXPECT_EQ(StepText(upgrade), "Program OK");
    EXPECT_EQ(StepTip(upgrade), "");
}

TEST_F(WindowBoardTest, TheSecondClickOfADoubleClickOnStartDoesNotStopTheRun) {
    QGuiApplication::styleHints()->setMouseDoubleClickInterval(platformDoubleClickMs_);
    StartBoard();
    UpgradeWindow upgrade;
    upgrade.show();
    // STOP has taken START's place when the second click arrives.
    QTimer::singleShot(0, &upgrade, [&] { upgrade.Button2()->click(); });
    upgrade.Button1()->click();
    EXPECT_EQ(StepText(upgrade), "Program OK");
    SaveWindowGrab(upgrade, "mend2-double-click-program-ok");

    // A stop pressed after the interval stops at once.
    StopBoard();
    StartBoard({QStringLiteral("--late"), QStringLiteral("60")});
    QTimer::singleShot(platformDoubleClickMs_ + 100, &upgrade, [&] { upgrade.Button2()->click(); });
    upgrade.Button1()->click();
    EXPECT_EQ(StepText(upgrade), " User Abort !! ");
}

TEST_F(WindowBoardTest, InvalidPortComSaysWhyBesideIt) {
    struct Row {
        const char* what;
        std::function<void(int& held)> makeUnusable;
        std::string why;
    };
    const std::string link = ComLink();
    const Row rows[] = {
        {"held by another program",
         [&](int& held) {
             StartBoard();
             ASSERT_TRUE(PlatformSerialBackend().OpenExclusive(link, held).ok());
         },
         "COM60: " + link +
             ": Device or resource busy; another program has it open (a terminal program, "
             "vorlan-flash, a modem manager)"},
        {"alias to an adapter that is not there",
         [&](int&) {
             std::filesystem::create_symlink("/dev/serial/by-id/usb-Vorlan_absent-if00", link);
         },
         "COM60: " + link +
             ": No such file or directory; it is a link to "
             "/dev/serial/by-id/usb-Vorlan_absent-if00, which does not exist (is the adapter "
             "plugged in?)"},
    };
    UpgradeWindow upgrade;
    upgrade.show();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        int held = -1;
        row.makeUnusable(held);
        upgrade.Button1()->click();
        EXPECT_EQ(StepText(upgrade), "Invalid Port Com");
        EXPECT_EQ(StepTip(upgrade), row.why);
        if (held >= 0)
            SaveToolTipGrab(upgrade, *upgrade.StatusBar1()->Panel(1), "mend3-busy-why");
        PlatformSerialBackend().Close(held);
        StopBoard();
        std::filesystem::remove(link);
    }
}

// The Updater window's step panel shows "Program <address> (<hex>)" for every
// block; each must be whole, in a smaller face where it needs one. The reason
// for "Invalid Port Com" sits on the result line there.
TEST_F(WindowBoardTest, UpdaterStepTextsFitTheirPanelAndThePortProblemSitsOnTheResultLine) {
    UpdaterWindow updater;
    updater.show();
    updater.Button1()->click();
    EXPECT_EQ(updater.Label2()->text().toStdString(), "Invalid Port Com");
    EXPECT_NE(updater.Label2()->toolTip().indexOf(QLatin1String(kAbsentDevice)), -1);

    StartBoard();
    QLabel& step = *updater.StatusBar1()->Panel(1);
    int programTexts = 0;
    int smallestFace = 99;
    std::string cutOff;  // the first text wider than its room
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (!step.text().startsWith(QStringLiteral("Program ")))
            return;
        ++programTexts;
        smallestFace = std::min(smallestFace, step.font().pixelSize());
        const int room = step.contentsRect().width() - step.indent();
        if (cutOff.empty() && QFontMetrics(step.font()).horizontalAdvance(step.text()) > room)
            cutOff = step.text().toStdString();
        if (programTexts == 50)
            SaveWindowGrab(updater, "mend4-updater-step-panel");
    });
    watch.start(0);
    updater.Button1()->click();
    watch.stop();
    EXPECT_EQ(updater.Label2()->text().toStdString(), " Program Ok ");
    EXPECT_EQ(updater.Label2()->toolTip().toStdString(), "");
    EXPECT_GT(programTexts, 0);
    EXPECT_EQ(cutOff, "");
    EXPECT_LT(smallestFace, 11);  // shrunk from the bar's own face
}

}  // namespace
}  // namespace vorlan::test
