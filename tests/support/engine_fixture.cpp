#include "tests/support/engine_fixture.h"

#include "catalogue/chip_family.h"

namespace vorlan::test {

void ResetEngineState() {
    ResetLinkState();
    ResetStatusReporting();
    BindLinkPort(nullptr);
    BindPause(nullptr);
    // Catalogue state. The image table is left as it is: tests that change
    // it reset it themselves (ResetImageTable) once they have built it.
    ResetFamilyParameters();
}

}  // namespace vorlan::test
