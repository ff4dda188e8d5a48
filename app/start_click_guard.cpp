#include "app/start_click_guard.h"

#include <QGuiApplication>
#include <QStyleHints>

namespace vorlan {

void StartClickGuard::RunStarting() {
    started_.start();
}

bool StartClickGuard::IsSecondClickOfStart() const {
    return started_.isValid() &&
           started_.elapsed() < QGuiApplication::styleHints()->mouseDoubleClickInterval();
}

}  // namespace vorlan
