// The Win32 program's start: app/desktop_startup.h with the Win32 windows,
// message boxes, message loop and pause. UI thread only.
#pragma once

#include <string>
#include <vector>

namespace vorlan::win32 {

// Runs the whole program and returns its exit code, 0 on every path.
// Blocks until the main window closes.
int Startup(const std::vector<std::string>& commandLine, const std::string& buildVersion);

}  // namespace vorlan::win32
