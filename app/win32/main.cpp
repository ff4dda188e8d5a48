// vorlan.exe: the desktop program on the Win32 controls, a program of the
// GUI subsystem. --help and --version answer in the console it was started
// from, when there is one.
#include <string>
#include <vector>

#include "app/desktop_usage.h"
#include "app/win32/startup.h"
#include "platform/console.h"

int main(int argc, char** argv) {
    if (const auto answered = vorlan::AnswerInfoArgument(argc, argv, VORLAN_PROJECT_VERSION))
        return *answered;
    // Start-up's own lines ("no single-instance lock", why a port cannot be
    // used) go to the console too.
    vorlan::UseParentConsole();
    return vorlan::win32::Startup(std::vector<std::string>(argv, argv + argc),
                                  VORLAN_BUILD_VERSION);
}
