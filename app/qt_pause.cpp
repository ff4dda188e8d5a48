#include "app/qt_pause.h"

#include <QCoreApplication>
#include <chrono>
#include <thread>

#include "ports/port_selection.h"
#include "ports/serial_driver.h"

namespace vorlan {

void QtPause::PauseFiveMs() {
    constexpr int kPauseMs = 5;
    const int index = CurrentPortIndex();
    const bool portOpen = index >= 0 && index <= kHighestPortIndex && PortRecordAt(index).open != 0;
    if (portOpen) {
        WaitForInput(index, kPauseMs);
    } else {
        // Nothing to wait for: still let the time pass, so that every limit
        // of a run keeps its length when the port went away.
        std::this_thread::sleep_for(std::chrono::milliseconds(kPauseMs));
    }
    QCoreApplication::processEvents();
}

}  // namespace vorlan
