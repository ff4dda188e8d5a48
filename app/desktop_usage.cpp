#include "app/desktop_usage.h"

#include <cstdio>
#include <string_view>

#include "platform/console.h"
#include "platform/port_help.h"

namespace vorlan {

std::string DesktopUsage() {
    return "Usage: vorlan [\\P]\n"
           "  or:  vorlan --help | --version\n"
           "\n"
           "Updates the firmware of a PIC18, PIC24 or dsPIC33 board through its serial\n"
           "boot loader. START searches for the boot loader on the chosen port, reads\n"
           "which board it is, and writes the matching firmware built into this program\n"
           "block by block. One copy runs at a time; a second start says \"Already in\n"
           "progress\". Without a display, use vorlan-flash.\n"
           "\n"
           "  \\P            (first argument, any letter case) send each final result as\n"
           "                a 12-byte UDP record from local port 3004 to 127.0.0.1:3000\n"
           "  --help        show this text\n"
           "  --version     show the program's version\n"
           "\n" +
           PortFilesHelp();
}

std::optional<int> AnswerInfoArgument(int argc, char** argv, const char* projectVersion) {
    const std::string_view first = argc > 1 ? argv[1] : "";
    if (first != "--help" && first != "--version")
        return std::nullopt;
    UseParentConsole();
    if (first == "--help") {
        std::fputs(DesktopUsage().c_str(), stdout);
    } else {
        std::printf("vorlan %s\n", projectVersion);
    }
    std::fflush(stdout);
    return 0;
}

}  // namespace vorlan
