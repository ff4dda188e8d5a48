// The stop button takes the start button's place when a run begins, so the
// second click of a double-click on START would land on STOP and end the run
// at once. This guard tells such a click from a real stop: a stop press
// within the platform's double-click interval after the run began is the
// start click's twin. UI thread only.
#pragma once

#include <chrono>

namespace vorlan {

class StartClickGuard {
public:
    // doubleClickMs: the toolkit's double-click interval, read at each click
    // (the user may change it while the program runs).
    using IntervalSource = int (*)();
    explicit StartClickGuard(IntervalSource doubleClickMs) : doubleClickMs_(doubleClickMs) {}

    // At the start button's click, before the run.
    void RunStarting();
    // true for a stop press that only finishes a double-click on START.
    bool IsSecondClickOfStart() const;

private:
    IntervalSource doubleClickMs_;
    bool started_ = false;
    std::chrono::steady_clock::time_point startedAt_;
};

}  // namespace vorlan
