#include "tests/support/engine_fixture.h"

#include "engine/engine_state.h"
#include "ports/port_selection.h"

namespace vorlan::test {

void ResetAllState() {
    ResetEngineState();
    ResetPortSelection();
}

}  // namespace vorlan::test
