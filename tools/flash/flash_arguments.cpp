#include "tools/flash/flash_arguments.h"

#include <cctype>

namespace vorlan::flash {

namespace {

constexpr int kHighestComNumber = 32767;  // the port index is 16 bits

FlashArguments UsageError(std::string error) {
    FlashArguments result;
    result.action = FlashAction::UsageError;
    result.error = std::move(error);
    return result;
}

}  // namespace

std::optional<std::int16_t> PortIndexOfComName(const std::string& name) {
    if (name.size() < 4) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < 3; ++i) {
        if (std::toupper(static_cast<unsigned char>(name[i])) != "COM"[i]) {
            return std::nullopt;
        }
    }
    int number = 0;
    for (std::size_t i = 3; i < name.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(name[i]))) {
            return std::nullopt;
        }
        number = number * 10 + (name[i] - '0');
        if (number > kHighestComNumber) {
            return std::nullopt;
        }
    }
    if (number < 1) {
        return std::nullopt;
    }
    return static_cast<std::int16_t>(number - 1);
}

FlashArguments ParseFlashArguments(const std::vector<std::string>& arguments) {
    FlashArguments result;
    bool list = false;
    bool help = false;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        std::string value;
        bool hasInlineValue = false;
        std::string option = argument;
        if (const auto equals = argument.find('=');
            argument.rfind("--", 0) == 0 && equals != std::string::npos) {
            option = argument.substr(0, equals);
            value = argument.substr(equals + 1);
            hasInlineValue = true;
        }
        if (option == "--port" || option == "-p") {
            if (!hasInlineValue) {
                if (i + 1 >= arguments.size()) {
                    return UsageError("--port needs a port name such as COM3");
                }
                value = arguments[++i];
            }
            result.portIndex = PortIndexOfComName(value);
            if (!result.portIndex) {
                return UsageError("'" + value +
                                  "' is not a port name; write COM<n> with n from 1 to " +
                                  std::to_string(kHighestComNumber) + ", for example COM3");
            }
        } else if (hasInlineValue) {
            return UsageError(option + " takes no value");
        } else if (option == "--notify") {
            result.notify = true;
        } else if (option == "--stats") {
            result.stats = true;
        } else if (option == "--list" || option == "-l") {
            list = true;
        } else if (option == "--help" || option == "-h") {
            help = true;
        } else {
            return UsageError("unknown argument '" + argument + "'");
        }
    }
    if (help) {
        result.action = FlashAction::Help;
    } else if (list) {
        if (result.portIndex || result.notify || result.stats) {
            return UsageError("--list cannot be combined with other options");
        }
        result.action = FlashAction::List;
    }
    return result;
}

std::string UsageText(const std::string& programName) {
    return "Usage: " + programName +
           " [--port COM<n>] [--notify] [--stats]\n"
           "  or:  " +
           programName +
           " --list\n"
           "  or:  " +
           programName +
           " --help\n"
           "\n"
           "Searches for the board's boot loader on a serial port and writes the firmware\n"
           "built into this program into it, as the desktop updater's start button does.\n"
           "\n"
           "  --port COM<n>  the port to use (any letter case, n from 1); without it the\n"
           "                 port chosen last in the desktop updater (setting \"com\")\n"
           "  --notify       send each final result as a UDP record to 127.0.0.1:3000\n"
           "                 (from local port 3004), as the desktop updater's \\P does\n"
           "  --stats        after the run, print one line on stderr:\n"
           "                 stats seconds=<s> sent=<bytes> received=<bytes>\n"
           "  --list         list the serial ports present with their COM names\n"
           "  --help         show this text\n"
           "\n"
           "Every text of the run is printed on a line of its own as it appears; a text\n"
           "repeated at once (such as \"Search Device\" on each of up to 100 tries) is\n"
           "printed only once. On a terminal a progress bar shows the transfer rate and\n"
           "the time left. The last line sums up the result. Ctrl-C stops the run (\" User\n"
           "Abort !! \"); a second Ctrl-C ends the program at once.\n"
           "\n"
           "COM<n> is the link com<n> in the folder $VORLAN_PORT_DIR (default\n"
           "/etc/vorlan/ports), else /dev/ttyS<n-1>, /dev/ttyUSB<n-33>, /dev/ttyACM<n-65>.\n"
           "\n"
           "Exit status: 0 the board was programmed, 1 the run failed, 2 usage error.\n";
}

}  // namespace vorlan::flash
