#include "tests/desktop/window_fixture.h"

#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QStyleHints>
#include <cstdlib>

#include "app/build_version.h"
#include "app/window_references.h"
#include "ports/port_selection.h"
#include "ports/serial_driver.h"
#include "ports/status_notifier.h"
#include "tests/support/engine_fixture.h"

namespace vorlan::test {

board::BoardConfig DemoBoard() {
    board::BoardConfig config;
    config.boardCode = 9;
    config.preparation = 0x04;
    return config;
}

void WindowTest::SetUp() {
    platformDoubleClickMs_ = QGuiApplication::styleHints()->mouseDoubleClickInterval();
    QGuiApplication::styleHints()->setMouseDoubleClickInterval(0);
    ASSERT_TRUE(settingsDir_.isValid());
    ASSERT_TRUE(portDir_.isValid());
    ResetAllState();
    ResetPortSelection();
    Windows() = WindowReferences{};
    SetBuildVersion(VORLAN_BUILD_VERSION);
    SetCommandLine({"vorlan"});
    SetNotifierPorts({});
    ::setenv("VORLAN_SETTINGS_DIR", settingsDir_.path().toLocal8Bit().constData(), 1);
    ::setenv("VORLAN_PORT_DIR", portDir_.path().toLocal8Bit().constData(), 1);
}

void WindowTest::TearDown() {
    for (const int master : masters_) ::close(master);
    StopStatusNotifier();
    BindLinkPort(nullptr);
    BindPause(nullptr);
    CloseAllPorts();
    ResetAllState();
    ResetPortSelection();
    Windows() = WindowReferences{};
    ::unsetenv("VORLAN_SETTINGS_DIR");
    ::unsetenv("VORLAN_PORT_DIR");
    QGuiApplication::styleHints()->setMouseDoubleClickInterval(platformDoubleClickMs_);
}

std::string WindowTest::SettingsFile() const {
    return settingsDir_.path().toStdString() + "/Quenta/Vorlan.conf";
}

void WindowTest::WriteSettingsFile(const std::string& text) const {
    QDir().mkpath(settingsDir_.path() + QStringLiteral("/Quenta"));
    QFile file(QString::fromStdString(SettingsFile()));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text.data(), static_cast<qint64>(text.size()));
}

int WindowTest::LinkPseudoTerminal(const std::string& name) {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    EXPECT_GE(master, 0);
    if (master < 0)
        return -1;
    masters_.push_back(master);
    EXPECT_EQ(::grantpt(master), 0);
    EXPECT_EQ(::unlockpt(master), 0);
    const std::string link = portDir_.path().toStdString() + "/" + name;
    EXPECT_EQ(::symlink(::ptsname(master), link.c_str()), 0);
    return master;
}

void WindowTest::BindModel(board::BoardConfig config, board::BoardFaults faults) {
    model_ = std::make_unique<board::BootLoaderModel>(config, faults);
    port_ = std::make_unique<ModelPort>(*model_, clock_);
    clock_.SetPassHook([](std::int64_t) { QCoreApplication::processEvents(); });
    BindLinkPort(port_.get());
    BindPause(&clock_);
}

}  // namespace vorlan::test
