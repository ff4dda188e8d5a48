#include "app/qt/qt_pause.h"

#include <QCoreApplication>

#include "ports/port_selection.h"

namespace vorlan {

std::int64_t QtPause::PauseFiveMs() {
    constexpr int kPauseMs = 5;
    const std::int64_t waitedUs = WaitForBoardBytes(kPauseMs);
    QCoreApplication::processEvents();
    return waitedUs;
}

}  // namespace vorlan
