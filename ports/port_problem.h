// Why a port cannot be used, in a technician's words, for the desktop program
// and the terminal alike: where its COM name was looked up, what the system
// said, and what to do about it. Each front end adds its own words for
// listing and choosing ports.
#pragma once

#include <cstdint>
#include <string>

namespace vorlan {

// A front end's words in the text; an empty one is left out.
struct PortAdvice {
    std::string listPorts;   // "vorlan-flash --list shows the ports present"
    std::string choosePort;  // "name one with --port COM<n> or --port /dev/ttyUSB0"
    std::string nameDevice;  // "give the device to --port"
};

// Meaningful after the driver tried to open the port with this index.
std::string DescribePortProblem(std::int16_t portIndex, const PortAdvice& advice);

// A path, and where it leads when it is a link: "/ports/com9 -> /dev/pts/4".
std::string ShownLinkPath(const std::string& path);

}  // namespace vorlan
