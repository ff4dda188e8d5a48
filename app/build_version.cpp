#include "app/build_version.h"

#include <QCoreApplication>
#include <QString>
#include <utility>

namespace vorlan {

namespace {

struct BuildInfo {
    std::string version = VORLAN_BUILD_VERSION;
    std::string title;
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
    // Not the display name: Qt would append that to every window title.
    QCoreApplication::setApplicationName(QString::fromStdString(title));
}

std::string ApplicationTitle() {
    return Info().title;
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
