#include "app/port_setting.h"

#include "app/settings_store.h"
#include "engine/link_state.h"
#include "engine/update_run.h"
#include "ports/port_selection.h"
#include "ports/serial_driver.h"

namespace vorlan {

void RestorePortFromSetting() {
    const std::string stored = ReadSetting("com");
    CurrentPortIndex() = stored.empty() ? std::int16_t{0} : PortIndexFromSetting(stored);
    OpenedPortIndex() = static_cast<std::int16_t>(CurrentPortIndex() - 1);
}

void CloseMainWindow() {
    if (IsRunActive())
        RequestStop();
    if (OpenedPortIndex() == CurrentPortIndex())
        ClosePort(CurrentPortIndex());
    WriteSetting("com", std::to_string(CurrentPortIndex()));
}

}  // namespace vorlan
