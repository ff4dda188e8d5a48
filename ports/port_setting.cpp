#include "ports/port_setting.h"

#include <string>

#include "engine/link_state.h"
#include "engine/update_run.h"
#include "platform/settings_store.h"
#include "ports/port_selection.h"
#include "ports/serial_driver.h"

namespace vorlan {

void SelectPortForNextRun(std::int16_t index) {
    CurrentPortIndex() = index;
    OpenedPortIndex() = static_cast<std::int16_t>(index - 1);
}

void RestorePortFromSetting() {
    SelectPortForNextRun(PortIndexFromSetting(ReadSetting("com")));
}

void StorePortOnClose() {
    if (IsRunActive())
        RequestStop();
    if (OpenedPortIndex() == CurrentPortIndex())
        ClosePort(CurrentPortIndex());
    WriteSetting("com", std::to_string(CurrentPortIndex()));
}

}  // namespace vorlan
