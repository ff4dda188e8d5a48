#include "app/qt/startup.h"

#include <QApplication>
#include <QMessageBox>
#include <exception>
#include <memory>

#include "app/build_version.h"
#include "app/desktop_startup.h"
#include "app/qt/port_setup_window.h"
#include "app/qt/qt_pause.h"
#include "app/qt/unattended_hooks.h"
#include "app/qt/updater_window.h"
#include "app/qt/upgrade_window.h"
#include "app/qt/version_list_window.h"
#include "app/qt/window_look.h"
#include "app/qt/window_references.h"

namespace vorlan {

namespace {

// The error display: an error box captioned with the application title.
void ShowErrorBox(const QString& message) {
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
            ShowErrorBox(QString::fromLocal8Bit(error.what()));
        } catch (...) {
            ShowErrorBox(QString());
        }
        return false;
    }
};

// The four windows as Qt widgets, destroyed in the reverse order of creation
// once the message loop (and any run inside it) has returned.
class QtToolkit final : public DesktopToolkit {
public:
    ~QtToolkit() override { DestroyWindows(); }

    Pause& RunPause() override { return pause_; }

    void ShowAlreadyInProgress(const std::string& caption) override {
        QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(caption),
                        QStringLiteral("Already in progress"), QMessageBox::Ok);
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
        box.exec();
    }

    void ShowError(const std::string& message) override {
        ShowErrorBox(QString::fromLocal8Bit(message.c_str()));
    }

    void ShowDriverMessage(const std::string& text, const std::string& caption) override {
        QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(caption),
                        QString::fromStdString(text), QMessageBox::Ok,
                        QApplication::activeWindow());
        box.exec();
    }

    void CreateUpgradeWindow() override {
        upgrade_ = std::make_unique<UpgradeWindow>();
        upgrade_->SetMainWindow(true);
        main_ = upgrade_.get();
    }

    void CreateUpdaterWindow() override {
        updater_ = std::make_unique<UpdaterWindow>();
        if (main_ == nullptr) {
            updater_->SetMainWindow(true);
            main_ = updater_.get();
        }
    }

    void CreatePortSetupWindow() override {
        portSetup_ = std::make_unique<PortSetupWindow>();
        Windows().portSetup = portSetup_.get();
    }

    void CreateVersionListWindow() override {
        versionList_ = std::make_unique<VersionListWindow>();
        Windows().versionList = versionList_.get();
    }

    void RunMessageLoop() override {
        main_->show();
        ScheduleScreenshots({{QStringLiteral("upgrade-window"), upgrade_.get()},
                             {QStringLiteral("updater-window"), updater_.get()},
                             {QStringLiteral("port-setup-window"), portSetup_.get()},
                             {QStringLiteral("version-list-window"), versionList_.get()}},
                            [this] {
                                if (upgrade_) {
                                    upgrade_->Button1Click();
                                } else {
                                    updater_->Button1Click();
                                }
                            });
        QApplication::exec();
    }

    void DestroyWindows() override {
        Windows() = WindowReferences{};
        versionList_.reset();
        portSetup_.reset();
        updater_.reset();
        upgrade_.reset();
        main_ = nullptr;
    }

private:
    QtPause pause_;
    std::unique_ptr<UpgradeWindow> upgrade_;
    std::unique_ptr<UpdaterWindow> updater_;
    std::unique_ptr<PortSetupWindow> portSetup_;
    std::unique_ptr<VersionListWindow> versionList_;
    QWidget* main_ = nullptr;
};

}  // namespace

int Startup(int& argc, char** argv, const std::string& buildVersion) {
    std::unique_ptr<QApplication> ownApplication;
    if (QApplication::instance() == nullptr) {
        ownApplication = std::make_unique<GuardedApplication>(argc, argv);
    }
    InstallApplicationTitleSink();
    InstallDismissHook();
    QApplication::setQuitOnLastWindowClosed(false);
    QtToolkit toolkit;
    return RunDesktopProgram(toolkit, std::vector<std::string>(argv, argv + argc), buildVersion);
}

}  // namespace vorlan
