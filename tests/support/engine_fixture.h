// Puts every piece of process-wide engine state back to its start values
// before and after a test, so no test sees what an earlier one left behind.
//
//   EngineStateGuard  RAII helper for tests that are not fixtures.
//   EngineTest        gtest fixture: resets the state and binds a fresh
//                     ScriptedPort and VirtualClock to the engine.
#pragma once

#include <gtest/gtest.h>

#include "engine/link_port.h"
#include "engine/link_state.h"
#include "engine/pause.h"
#include "engine/status_reporting.h"
#include "tests/support/scripted_port.h"
#include "tests/support/virtual_clock.h"

namespace vorlan::test {

// The engine's and the port selection's process-wide state back to program
// start (the image table empty: tests that need it build it).
void ResetAllState();

class EngineStateGuard {
public:
    EngineStateGuard() { ResetAllState(); }
    ~EngineStateGuard() { ResetAllState(); }
    EngineStateGuard(const EngineStateGuard&) = delete;
    EngineStateGuard& operator=(const EngineStateGuard&) = delete;
};

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetAllState();
        BindLinkPort(&port);
        BindPause(&clock);
    }
    void TearDown() override { ResetAllState(); }

    ScriptedPort port;
    VirtualClock clock;
};

}  // namespace vorlan::test
