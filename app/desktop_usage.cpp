#include "app/desktop_usage.h"

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
           "\n"
           "Environment:\n"
           "  VORLAN_PORT_DIR      the folder of the com<n> port links, instead of\n"
           "                       /etc/vorlan/ports\n"
           "  VORLAN_SETTINGS_DIR  a folder whose Quenta/Vorlan.conf is used instead of\n"
           "                       both settings files below\n"
           "\n"
           "Files:\n"
           "  /etc/vorlan/ports/com<n>      link to the serial device used as COM<n>\n"
           "  ~/.config/Quenta/Vorlan.conf  the port chosen last (setting \"com\")\n"
           "  /etc/xdg/Quenta/Vorlan.conf   an administrator's default port\n"
           "\n"
           "Without a link, COM<n> is /dev/ttyS<n-1>, /dev/ttyUSB<n-33> or\n"
           "/dev/ttyACM<n-65>.\n";
}

}  // namespace vorlan
