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
#include <QProcess>
#include <QPushButton>
#include <QStyleHints>
#include <QTimer>
#include <QToolTip>
#include <filesystem>
#include <memory>

#include "app/qt/panel_status_bar.h"
#include "app/qt/qt_pause.h"
#include "app/qt/updater_window.h"
#include "app/qt/upgrade_window.h"
#include "platform/serial_backend.h"
#include "ports/port_problem.h"
#include "ports/port_selection.h"
#include "tests/desktop/window_fixture.h"
#include "tests/dialogs/window_grab.h"

namespace vorlan::test {
namespace {

// COM60 is /dev/ttyUSB27 while no alias names it: a device this machine lacks.
// COM60 is /dev/ttyUSB27 in the fixed scheme, which this machine lacks.
std::string AbsentWhy(const QTemporaryDir& portDir) {
    return "COM60 is /dev/ttyUSB27 (no link com60 in " + portDir.path().toStdString() +
           "): No such file or directory; is the adapter plugged in? the Setup window lists the "
           "ports present";
}

// With VORLAN_SCREENSHOT_DIR set: the window with a widget's tooltip over it.
void SaveToolTipGrab(QWidget& window, QWidget& owner, const char* name) {
    const QString folder = qEnvironmentVariable("VORLAN_SCREENSHOT_DIR");
    if (folder.isEmpty())
        return;
    QToolTip::showText(owner.mapToGlobal(owner.rect().center()), owner.toolTip(), &owner);
    QPixmap shot = window.grab();
    for (QWidget* tip : QApplication::topLevelWidgets()) {
        if (!tip->inherits("QTipLabel") || !tip->isVisible())
            continue;
        const QPoint at = tip->mapToGlobal(QPoint()) - window.mapToGlobal(QPoint());
        const QRect whole = shot.rect().united(QRect(at, tip->size()));
        QPixmap canvas(whole.size());
        canvas.fill(Qt::white);
        QPainter(&canvas).drawPixmap(-whole.topLeft(), shot);
        QPainter(&canvas).drawPixmap(at - whole.topLeft(), tip->grab());
        shot = canvas;
    }
    // An empty text removes the tip at once; a fading one would outlive the window.
    QToolTip::showText(QPoint(), QString());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    shot.save(QDir(folder).filePath(QString::fromLatin1(name) + QStringLiteral(".png")));
}

class WindowBoardTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        if (!QFile::exists(QStringLiteral(VORLAN_BOARD_PROGRAM)))
            GTEST_SKIP() << "vorlan-board is not built";
        if (std::filesystem::exists("/dev/ttyUSB27"))
            GTEST_SKIP() << "/dev/ttyUSB27 exists on this machine";
        WriteSettingsFile("[General]\ncom=59\n");
        BindLinkPort(&serial_);
        BindPause(&pause_);
    }
    void TearDown() override {
        StopBoard();
        upgrade_.reset();
        WindowTest::TearDown();
    }
    // Plugs the board in: vorlan-board serving COM60 until StopBoard.
    void StartBoard(const QStringList& options = {}) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("VORLAN_PORT_DIR"), portDir_.path());
        board_.setProcessEnvironment(environment);
        board_.start(QStringLiteral(VORLAN_BOARD_PROGRAM),
                     QStringList{QStringLiteral("--com"), QStringLiteral("60")} + options);
        while (!board_.readAllStandardOutput().contains("serving COM"))
            ASSERT_TRUE(board_.waitForReadyRead(10'000)) << "vorlan-board did not start";
    }
    // Unplugs it: the emulator ends and takes its alias link with it.
    void StopBoard() {
        board_.terminate();
        board_.waitForFinished(10'000);
    }
    std::string Step() { return upgrade_->StatusBar1()->PanelText(1).toStdString(); }
    // The tip's first line; a second names the failed run's trace.
    std::string Why() { return FirstLine(upgrade_->StatusBar1()->Panel(1)->toolTip()); }
    static std::string FirstLine(const QString& tip) {
        const std::string text = tip.toStdString();
        return text.substr(0, text.find('\n'));
    }
    void Start() { upgrade_->Button1()->click(); }

    SelectedSerialPort serial_;
    QtPause pause_;
    QProcess board_;
    std::unique_ptr<UpgradeWindow> upgrade_;
};

TEST_F(WindowBoardTest, AReplugIsFoundAndAnUnusablePortSaysWhy) {
    StartBoard();
    upgrade_ = std::make_unique<UpgradeWindow>();
    upgrade_->show();
    Start();
    ASSERT_EQ(Step(), "Program OK");
    StopBoard();  // unplugged and plugged in again between two runs
    StartBoard();
    Start();
    EXPECT_EQ(Step(), "Program OK");
    SaveWindowGrab(*upgrade_, "mend1-replugged-program-ok");

    StopBoard();  // replugged, and another program has the port first
    StartBoard();
    const std::string link = portDir_.path().toStdString() + "/com60";
    int held = -1;
    ASSERT_TRUE(PlatformSerialBackend().OpenExclusive(link, held).ok());
    Start();
    EXPECT_EQ(Step(), "Invalid Port Com");
    EXPECT_EQ(Why(), "COM60 is " + ShownLinkPath(link) +
                         ": Device or resource busy; another program has it open (a terminal "
                         "program, vorlan-flash, a modem manager)");
    SaveToolTipGrab(*upgrade_, *upgrade_->StatusBar1()->Panel(1), "mend3-busy-why");
    PlatformSerialBackend().Close(held);

    StopBoard();  // START while unplugged, then plugged in
    Start();
    EXPECT_EQ(Why(), AbsentWhy(portDir_));
    SaveToolTipGrab(*upgrade_, *upgrade_->StatusBar1()->Panel(1), "mend3-unplugged-why");
    StartBoard();
    Start();
    EXPECT_EQ(Step(), "Program OK");
    EXPECT_EQ(Why(), "");

    // A board that asks to keep part of its memory: "Program OK" says how
    // many blocks were left out, until the next START.
    StopBoard();
    StartBoard({QStringLiteral("--skip"), QStringLiteral("0x4000:0x400")});
    Start();
    EXPECT_EQ(Step(), "Program OK");
    EXPECT_EQ(Why(), "9 blocks left out as the board asks");
    SaveToolTipGrab(*upgrade_, *upgrade_->StatusBar1()->Panel(1), "skipped-blocks-why");
    StopBoard();
    StartBoard();
    Start();
    EXPECT_EQ(Why(), "");
}

TEST_F(WindowBoardTest, TheSecondClickOfADoubleClickOnStartDoesNotStopTheRun) {
    QGuiApplication::styleHints()->setMouseDoubleClickInterval(platformDoubleClickMs_);
    StartBoard();
    upgrade_ = std::make_unique<UpgradeWindow>();
    upgrade_->show();
    // STOP has taken START's place when the second click arrives.
    QTimer::singleShot(0, upgrade_.get(), [this] { upgrade_->Button2()->click(); });
    Start();
    EXPECT_EQ(Step(), "Program OK");
    SaveWindowGrab(*upgrade_, "mend2-double-click-program-ok");

    StopBoard();  // a search that never ends: a later STOP ends it at once
    StartBoard({QStringLiteral("--late"), QStringLiteral("60")});
    QTimer::singleShot(platformDoubleClickMs_ + 100, upgrade_.get(),
                       [this] { upgrade_->Button2()->click(); });
    Start();
    EXPECT_EQ(Step(), " User Abort !! ");
}

// "Program <address> (<hex>)" for every block, whole in its panel; the reason
// for "Invalid Port Com" sits on the result line in this window.
TEST_F(WindowBoardTest, UpdaterStepTextsFitAndThePortProblemSitsOnTheResultLine) {
    UpdaterWindow updater;
    updater.show();
    updater.Button1()->click();
    EXPECT_EQ(FirstLine(updater.Label2()->toolTip()), AbsentWhy(portDir_));

    StartBoard();
    QLabel& step = *updater.StatusBar1()->Panel(1);
    int blocks = 0;
    std::string cutOff;  // the first text wider than its room
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (!step.text().startsWith(QStringLiteral("Program ")) || step.font().pixelSize() >= 11)
            return;
        const int room = step.contentsRect().width() - step.indent();
        if (cutOff.empty() && QFontMetrics(step.font()).horizontalAdvance(step.text()) > room)
            cutOff = step.text().toStdString();
        if (++blocks == 50)
            SaveWindowGrab(updater, "mend4-updater-step-panel");
    });
    watch.start(0);
    updater.Button1()->click();
    EXPECT_EQ(updater.Label2()->text().toStdString(), " Program Ok ");
    EXPECT_EQ(updater.Label2()->toolTip().toStdString(), "");
    EXPECT_GT(blocks, 0);  // shrunk from the bar's own face
    EXPECT_EQ(cutOff, "");
}

}  // namespace
}  // namespace vorlan::test
