// Saves a picture of a window as <name>.png in the folder named by
// VORLAN_SCREENSHOT_DIR, for a look at the layout; nothing when it is unset.
#pragma once

#include <QDir>
#include <QPixmap>
#include <QWidget>
#include <cstdlib>

namespace vorlan {

inline void SaveWindowGrab(QWidget& window, const char* name) {
    const char* folder = std::getenv("VORLAN_SCREENSHOT_DIR");
    if (folder == nullptr || folder[0] == '\0')
        return;
    window.grab().save(QDir(QString::fromLocal8Bit(folder)).filePath(QString(name) + ".png"));
}

}  // namespace vorlan
