// Short texts for the port events of the run trace.
#pragma once

#include <string>

#include "platform/serial_backend.h"

namespace vorlan {

// "hung up", "busy", "timed out"...
std::string SerialErrorName(SerialErrorKind kind);
// "115200 8N2", with the flow controls that are on: "115200 8N2 rts-flow".
std::string LineSettingsText(const LineSettings& line);

}  // namespace vorlan
