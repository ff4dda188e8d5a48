// The stop button takes the start button's place when a run begins, so the
// second click of a double-click on START would land on STOP and end the run
// at once. This guard tells such a click from a real stop: a stop press
// within the platform's double-click interval after the run began is the
// start click's twin. UI thread only.
#pragma once

#include <QElapsedTimer>

namespace vorlan {

class StartClickGuard {
public:
    // At the start button's click, before the run.
    void RunStarting();
    // true for a stop press that only finishes a double-click on START.
    bool IsSecondClickOfStart() const;

private:
    QElapsedTimer started_;
};

}  // namespace vorlan
