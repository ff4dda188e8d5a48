#include "tests/support/engine_fixture.h"

namespace vorlan::test {

void ResetEngineState() {
    ResetLinkState();
    ResetStatusReporting();
    BindLinkPort(nullptr);
    BindPause(nullptr);
    // --- catalogue state ---
    // ResetFamilyParameters() (catalogue/chip_family.h) belongs here once the
    // chip family unit is in the engine library.
}

}  // namespace vorlan::test
