// The system's own text for a Win32 error code, for messages that keep the
// OS's word beside our own.
#pragma once

#include <windows.h>

#include <string>

namespace vorlan {

// "Access denied." style text without the line break the system appends;
// "error <code>" when the system has no text for it.
std::string SystemMessage(DWORD error);

}  // namespace vorlan
