// The build version string and the application title.
//
// The build version string is a fixed text of the build ("BRQc 01.00|06|00"
// unless CMake's VORLAN_BUILD_VERSION says otherwise). It is only tested for
// substrings and shown. Start-up may replace it (tests construct either main
// window in one process that way). UI thread only.
#pragma once

#include <string>
#include <vector>

namespace vorlan {

const std::string& BuildVersion();
void SetBuildVersion(const std::string& version);

// The text the desktop shows for the running program (Qt's application name).
void SetApplicationTitle(const std::string& title);
std::string ApplicationTitle();

// The process's command line, program name first, as the notifier's start
// rule reads it.
void SetCommandLine(std::vector<std::string> commandLine);
const std::vector<std::string>& CommandLine();

}  // namespace vorlan
