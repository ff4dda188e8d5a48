// The build version string and the application title.
//
// The build version string is a fixed text of the build ("BRQc 01.00|06|00"
// unless CMake's VORLAN_BUILD_VERSION says otherwise). It is only tested for
// substrings and shown. Start-up may replace it (tests construct either main
// window in one process that way). UI thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ports/status_notifier.h"

namespace vorlan {

const std::string& BuildVersion();
void SetBuildVersion(const std::string& version);

// The text the desktop shows for the running program (the task bar's, and
// the caption of the error display). The toolkit hands it on through its sink.
void SetApplicationTitle(const std::string& title);
std::string ApplicationTitle();
using ApplicationTitleSink = std::function<void(const std::string& title)>;
void SetApplicationTitleSink(ApplicationTitleSink sink);

// The process's command line, program name first, as the notifier's start
// rule reads it.
void SetCommandLine(std::vector<std::string> commandLine);
const std::vector<std::string>& CommandLine();

// The ports the main windows start the notifier with: local 3004, destination
// 3000 in the program; tests put in free ones so that they never depend on
// who else holds those.
struct NotifierPorts {
    std::uint16_t local = kNotifierLocalPort;
    std::uint16_t destination = kNotifierDestinationPort;
};
void SetNotifierPorts(NotifierPorts ports);
NotifierPorts CurrentNotifierPorts();

}  // namespace vorlan
