#include "app/startup.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <exception>
#include <memory>
#include <vector>

#include "app/build_version.h"
#include "app/port_setup_window.h"
#include "app/qt_pause.h"
#include "app/unattended_hooks.h"
#include "app/updater_window.h"
#include "app/upgrade_window.h"
#include "app/version_list_window.h"
#include "app/window_references.h"
#include "engine/link_port.h"
#include "engine/pause.h"
#include "engine/status_reporting.h"
#include "platform/instance_lock.h"
#include "ports/engine_binding.h"
#include "ports/port_selection.h"
#include "ports/serial_driver.h"
#include "ports/status_notifier.h"

namespace vorlan {

namespace {

// The error display: an error box captioned with the application title.
void ShowError(const QString& message) {
    QMessageBox::critical(nullptr, QCoreApplication::applicationName(), message);
}

// An error that escapes an event handler is shown, and the loop goes on.
class GuardedApplication final : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& error) {
            ShowError(QString::fromLocal8Bit(error.what()));
        } catch (...) {
            ShowError(QString());
        }
        return false;
    }
};

// The serial driver's modal messages ("Unable to configure the serial port").
void ShowDriverMessage(const std::string& text, const std::string& caption) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(caption),
                    QString::fromStdString(text), QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

void ShowAlreadyInProgress() {
    SetApplicationTitle("");
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(UpdaterTitle()),
                    QStringLiteral("Already in progress"), QMessageBox::Ok);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.exec();
}

std::vector<std::string> CommandLineOf(int argc, char** argv) {
    return std::vector<std::string>(argv, argv + argc);
}

// The windows of one start, destroyed in the reverse order of creation once
// the message loop (and any run inside it) has returned.
struct ProgramWindows {
    std::unique_ptr<UpgradeWindow> upgrade;
    std::unique_ptr<UpdaterWindow> updater;
    std::unique_ptr<PortSetupWindow> portSetup;
    std::unique_ptr<VersionListWindow> versionList;
    QWidget* main = nullptr;

    ~ProgramWindows() {
        Windows() = WindowReferences{};
        versionList.reset();
        portSetup.reset();
        updater.reset();
        upgrade.reset();
    }
};

void CreateWindows(ProgramWindows& windows) {
    if (SelectsUpgradeWindow(BuildVersion())) {
        windows.upgrade = std::make_unique<UpgradeWindow>();
        windows.upgrade->SetMainWindow(true);
        windows.main = windows.upgrade.get();
    }
    windows.updater = std::make_unique<UpdaterWindow>();
    if (windows.main == nullptr) {
        windows.updater->SetMainWindow(true);
        windows.main = windows.updater.get();
    }
    windows.portSetup = std::make_unique<PortSetupWindow>();
    Windows().portSetup = windows.portSetup.get();
    windows.versionList = std::make_unique<VersionListWindow>();
    Windows().versionList = windows.versionList.get();
}

void RunWindows() {
    ProgramWindows windows;
    try {
        CreateWindows(windows);
        windows.main->show();
        ScheduleScreenshots({{QStringLiteral("upgrade-window"), windows.upgrade.get()},
                             {QStringLiteral("updater-window"), windows.updater.get()},
                             {QStringLiteral("port-setup-window"), windows.portSetup.get()},
                             {QStringLiteral("version-list-window"), windows.versionList.get()}},
                            [&windows] {
                                if (windows.upgrade) {
                                    windows.upgrade->Button1Click();
                                } else {
                                    windows.updater->Button1Click();
                                }
                            });
        QApplication::exec();
    } catch (const std::exception& error) {
        ShowError(QString::fromLocal8Bit(error.what()));
    } catch (...) {
        ShowError(QString());
    }
}

}  // namespace

int Startup(int& argc, char** argv, const std::string& buildVersion) {
    std::unique_ptr<QApplication> ownApplication;
    if (QApplication::instance() == nullptr) {
        ownApplication = std::make_unique<GuardedApplication>(argc, argv);
    }
    SetBuildVersion(buildVersion);
    SetCommandLine(CommandLineOf(argc, argv));
    InstallDismissHook();

    InstanceLock lock;
    std::string reason;
    switch (lock.Acquire(&reason)) {
        case LockResult::HeldElsewhere:
            ShowAlreadyInProgress();
            return 0;
        case LockResult::Unavailable:
            // Better a second copy than no copy at all.
            std::fprintf(stderr, "vorlan: no single-instance lock (%s)\n", reason.c_str());
            break;
        case LockResult::Acquired:
            break;
    }

    QApplication::setQuitOnLastWindowClosed(false);
    QtPause pause;
    SelectedSerialPort port;
    const EngineBinding binding(pause, port);
    SetDriverMessageSink(ShowDriverMessage);
    RunWindows();
    SetDriverMessageSink(nullptr);
    return 0;
}

}  // namespace vorlan
