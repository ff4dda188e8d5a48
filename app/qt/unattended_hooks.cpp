#include "app/qt/unattended_hooks.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QPixmap>
#include <QTimer>
#include <QWidget>
#include <cstdio>

namespace vorlan {

void InstallDismissHook() {
    bool ok = false;
    const int interval = qEnvironmentVariableIntValue("VORLAN_TEST_DISMISS_MS", &ok);
    if (!ok || interval <= 0)
        return;
    auto* timer = new QTimer(QCoreApplication::instance());
    QObject::connect(timer, &QTimer::timeout, [] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            if (box == nullptr || !box->isVisible())
                continue;
            std::fprintf(stderr, "vorlan: message box \"%s\": %s\n", qPrintable(box->windowTitle()),
                         qPrintable(box->text()));
            std::fflush(stderr);
            box->done(QMessageBox::Ok);
        }
    });
    timer->start(interval);
}

void ScheduleScreenshots(const std::vector<std::pair<QString, QWidget*>>& windows,
                         const std::function<void()>& startRun) {
    const QString folder = qEnvironmentVariable("VORLAN_SCREENSHOT_DIR");
    if (folder.isEmpty())
        return;
    // After the main window's first paint; the others are shown one by one.
    // The timer goes with the first window: a start that ended before it
    // fired leaves nothing to grab and no run to start.
    const bool run = qEnvironmentVariableIntValue("VORLAN_SCREENSHOT_RUN") == 1;
    QObject* owner = nullptr;
    for (const auto& entry : windows) {
        if (owner == nullptr)
            owner = entry.second;
    }
    if (owner == nullptr)
        return;
    QTimer::singleShot(300, owner, [folder, windows, run, startRun] {
        QDir().mkpath(folder);
        if (run)
            startRun();
        for (const auto& [name, window] : windows) {
            if (window == nullptr)
                continue;
            window->show();
            QCoreApplication::processEvents();
            const QString path = folder + QLatin1Char('/') + name + QStringLiteral(".png");
            if (!window->grab().save(path)) {
                std::fprintf(stderr, "vorlan: could not save %s\n", qPrintable(path));
            }
        }
        QCoreApplication::exit(0);
    });
}

}  // namespace vorlan
