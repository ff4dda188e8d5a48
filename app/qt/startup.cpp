#include "app/qt/startup.h"

#include <QApplication>
#include <QMessageBox>
#include <QObject>
#include <QTimer>
#include <exception>
#include <memory>

#include "app/desktop_startup.h"
#include "app/qt/port_setup_window.h"
#include "app/qt/qt_pause.h"
#include "app/qt/updater_window.h"
#include "app/qt/upgrade_window.h"
#include "app/qt/version_list_window.h"
#include "app/qt/window_look.h"

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

// The windows as Qt widgets, Qt's message boxes and event loop.
class QtToolkit final
    : public DesktopToolkitOf<UpgradeWindow, UpdaterWindow, PortSetupWindow, VersionListWindow> {
public:
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

    void RunMessageLoop() override { QApplication::exec(); }
    // Leaves the loop once the handler that runs below us (a run, perhaps)
    // has returned to it.
    void EndMessageLoop() override { QCoreApplication::exit(0); }

    void StartTimer(int ms, bool repeat, std::function<void()> tick) override {
        auto* timer = new QTimer(&timers_);
        timer->setSingleShot(!repeat);
        QObject::connect(timer, &QTimer::timeout, std::move(tick));
        timer->start(ms);
    }

    std::vector<std::pair<std::string, std::string>> DismissMessageBoxes() override {
        std::vector<std::pair<std::string, std::string>> dismissed;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            if (box == nullptr || !box->isVisible())
                continue;
            dismissed.emplace_back(box->windowTitle().toStdString(), box->text().toStdString());
            box->done(QMessageBox::Ok);
        }
        return dismissed;
    }

    void SettleWindows() override { QCoreApplication::processEvents(); }
    std::string ImageExtension() const override { return ".png"; }

private:
    QtPause pause_;
    QObject timers_;  // the timers go with the toolkit
};

}  // namespace

int Startup(int& argc, char** argv, const std::string& buildVersion) {
    std::unique_ptr<QApplication> ownApplication;
    if (QApplication::instance() == nullptr) {
        ownApplication = std::make_unique<GuardedApplication>(argc, argv);
    }
    InstallApplicationTitleSink();
    QApplication::setQuitOnLastWindowClosed(false);
    QtToolkit toolkit;
    return RunDesktopProgram(toolkit, std::vector<std::string>(argv, argv + argc), buildVersion);
}

}  // namespace vorlan
