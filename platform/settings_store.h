// Named text settings kept between runs (the one in use is "com", the port
// index in signed decimal), where QSettings keeps those of organisation
// "Quenta", application "Vorlan": on Linux the user's ini file
// ($XDG_CONFIG_HOME or ~/.config) over the machine-wide ones ($XDG_CONFIG_DIRS
// or /etc/xdg) (VORLAN_SETTINGS_DIR: one folder instead), on Windows the
// key Software\Quenta\Vorlan of HKEY_CURRENT_USER over the same key of
// HKEY_LOCAL_MACHINE (VORLAN_SETTINGS_KEY: another key path instead). Writes
// go to the user's store. Each call opens the store, does its one read or
// write and releases it. UI thread only.
#pragma once

#include <string>

namespace vorlan {

// The value's text, or "" when the store or the value is missing. A value
// stored as something other than text throws std::runtime_error
// "Invalid data type for '<name>'", followed on POSIX by " in <file>", the
// file that holds the value (the user's or the machine-wide one); on Windows
// the store is the one registry key.
std::string ReadSetting(const std::string& name);
// Stores the text; a store that cannot be written fails silently.
void WriteSetting(const std::string& name, const std::string& value);

}  // namespace vorlan
