#include "app/start_click_guard.h"

namespace vorlan {

void StartClickGuard::RunStarting() {
    started_ = true;
    startedAt_ = std::chrono::steady_clock::now();
}

bool StartClickGuard::IsSecondClickOfStart() const {
    if (!started_)
        return false;
    const auto elapsed = std::chrono::steady_clock::now() - startedAt_;
    return elapsed < std::chrono::milliseconds(doubleClickMs_());
}

}  // namespace vorlan
