#include "platform/port_help.h"

namespace vorlan {

std::string PortArgumentHelp() {
    return "or the\n"
           "               device name \\\\.\\COM<n>.\n";
}

std::string PortNamingHelp() {
    return "COM<n> is the system's serial port of that name (\\\\.\\COM<n>), as Device\n"
           "Manager lists it under \"Ports (COM & LPT)\"; --list shows those present with\n"
           "their names.\n";
}

std::string PortFilesHelp() {
    return "Registry:\n"
           "  HKEY_CURRENT_USER\\Software\\Quenta\\Vorlan   the port chosen last (value\n"
           "                                              \"com\", 0 for COM1)\n"
           "  HKEY_LOCAL_MACHINE\\Software\\Quenta\\Vorlan  an administrator's default port\n"
           "\n"
           "Environment:\n"
           "  VORLAN_SETTINGS_KEY  another key path under both hives, instead of\n"
           "                       Software\\Quenta\\Vorlan\n";
}

}  // namespace vorlan
