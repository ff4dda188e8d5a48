// What the programs' --help says about this system's ports and the stored
// port choice: COM names, where they lead, and where the setting "com" is
// kept. Each text ends in a new line.
#pragma once

#include <string>

namespace vorlan {

// The device names the option --port takes beside COM<n>, as the rest of its
// help line: "a device\n               path such as ...".
std::string PortArgumentHelp();
// The paragraph that says how COM<n> is found.
std::string PortNamingHelp();
// The desktop program's "Environment:" and "Files:" paragraphs.
std::string PortFilesHelp();

}  // namespace vorlan
