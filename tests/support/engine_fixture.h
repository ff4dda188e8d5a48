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

// Every reset of process-wide state, in one place.
void ResetEngineState();

class EngineStateGuard {
public:
    EngineStateGuard() { ResetEngineState(); }
    ~EngineStateGuard() { ResetEngineState(); }
    EngineStateGuard(const EngineStateGuard&) = delete;
    EngineStateGuard& operator=(const EngineStateGuard&) = delete;
};

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetEngineState();
        BindLinkPort(&port);
        BindPause(&clock);
    }
    void TearDown() override { ResetEngineState(); }

    ScriptedPort port;
    VirtualClock clock;
};

}  // namespace vorlan::test
