#include "platform/port_help.h"

namespace vorlan {

std::string PortArgumentHelp() {
    return "a device\n"
           "               path such as /dev/ttyUSB0, or a name in /dev/serial/by-id.\n";
}

std::string PortNamingHelp() {
    return "COM<n> is the link com<n> in the folder $VORLAN_PORT_DIR (default\n"
           "/etc/vorlan/ports), else /dev/ttyS<n-1> (COM1-32), /dev/ttyUSB<n-33>\n"
           "(COM33-64), /dev/ttyACM<n-65> (COM65-96). A device given by path is opened\n"
           "as the COM name that leads to it, or else as the highest COM number without\n"
           "a link (COM257 normally); a device of the fixed scheme that is not there\n"
           "keeps its own number (an unplugged /dev/ttyUSB0 is COM33).\n";
}

std::string PortFilesHelp() {
    return "Environment:\n"
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
