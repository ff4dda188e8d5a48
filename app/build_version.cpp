#include "app/build_version.h"

#include <utility>

namespace vorlan {

namespace {

struct BuildInfo {
    std::string version = VORLAN_BUILD_VERSION;
    std::string title;
    ApplicationTitleSink titleSink;
    std::vector<std::string> commandLine;
    NotifierPorts notifierPorts;
};

BuildInfo& Info() {
    static BuildInfo info;
    return info;
}

}  // namespace

const std::string& BuildVersion() {
    return Info().version;
}
void SetBuildVersion(const std::string& version) {
    Info().version = version;
}

void SetApplicationTitle(const std::string& title) {
    Info().title = title;
    if (Info().titleSink)
        Info().titleSink(title);
}

std::string ApplicationTitle() {
    return Info().title;
}

void SetApplicationTitleSink(ApplicationTitleSink sink) {
    Info().titleSink = std::move(sink);
}

void SetCommandLine(std::vector<std::string> commandLine) {
    Info().commandLine = std::move(commandLine);
}

const std::vector<std::string>& CommandLine() {
    return Info().commandLine;
}

void SetNotifierPorts(NotifierPorts ports) {
    Info().notifierPorts = ports;
}

NotifierPorts CurrentNotifierPorts() {
    return Info().notifierPorts;
}

}  // namespace vorlan
