// What a technician needs to know, beyond the system's own words, when a
// serial device cannot be opened: who may use it, where a dangling link
// leads, that another program holds it. Used by the POSIX serial backend
// only; looks at names, owners and groups, never opens anything.
#pragma once

#include <string>

namespace vorlan::posix {

// The text to put after the system's message for errno value error on
// devicePath, starting with "; ", or empty when there is nothing to add.
// For a refused permission it names the group that owns the device and the
// command that adds the user to it.
std::string OpenFailureAdvice(int error, const std::string& devicePath);

}  // namespace vorlan::posix
