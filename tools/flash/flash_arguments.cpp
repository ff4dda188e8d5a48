#include "tools/flash/flash_arguments.h"

#include <algorithm>
#include <cctype>

#include "engine/decimal_text.h"
#include "platform/port_help.h"
#include "ports/serial_driver.h"

namespace vorlan::flash {

namespace {

constexpr int kHighestComNumber = kHighestPortIndex + 1;

FlashArguments UsageError(std::string error) {
    FlashArguments result;
    result.action = FlashAction::UsageError;
    result.error = std::move(error);
    return result;
}

bool IsDigits(const std::string& text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c)) != 0;
    });
}

bool StartsWithCom(const std::string& text) {
    if (text.size() < 3)
        return false;
    for (std::size_t i = 0; i < 3; ++i) {
        if (std::toupper(static_cast<unsigned char>(text[i])) != "COM"[i])
            return false;
    }
    return true;
}

// A --port value, or why it cannot be one.
std::optional<PortArgument> PortOf(const std::string& value, std::string& error) {
    const std::string range = "COM1 to COM" + std::to_string(kHighestComNumber);
    if (value.empty() || value[0] == '-') {
        error = "--port needs a port: COM<n> (" + range + ") or a device such as /dev/ttyUSB0";
        return std::nullopt;
    }
    if (StartsWithCom(value) || IsDigits(value)) {
        const std::optional<std::int16_t> index = PortIndexOfComName(value);
        if (index)
            return PortArgument{"COM" + std::to_string(*index + 1), index};
        const std::string digits = IsDigits(value) ? value : value.substr(3);
        if (IsDigits(digits) && !IsDigits(value)) {
            error = "'" + value + "' cannot be used: the ports are " + range;
        } else {
            error = "'" + value + "' is not a port; write COM<n> (" + range + "), for example COM" +
                    (IsDigits(digits) ? digits : std::string("3")) +
                    ", or a device such as /dev/ttyUSB0";
        }
        return std::nullopt;
    }
    return PortArgument{value, std::nullopt};
}

}  // namespace

std::optional<std::int16_t> PortIndexOfComName(const std::string& name) {
    if (!StartsWithCom(name))
        return std::nullopt;
    const std::string digits = name.substr(3);
    if (!IsDigits(digits))
        return std::nullopt;
    const std::int64_t number = ReadLeadingDecimal(digits, kHighestComNumber + 1).saturated;
    if (number < 1 || number > kHighestComNumber)
        return std::nullopt;
    return static_cast<std::int16_t>(number - 1);
}

FlashArguments ParseFlashArguments(const std::vector<std::string>& arguments) {
    FlashArguments result;
    bool help = false;
    std::vector<FlashAction> actions;  // --list, --firmware, --version
    int otherOptions = 0;
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
        const bool takesValue = option == "--port" || option == "-p" || option == "--log";
        if (takesValue && !hasInlineValue) {
            if (i + 1 >= arguments.size())
                return UsageError(option + " needs a value");
            value = arguments[++i];
        } else if (!takesValue && hasInlineValue) {
            return UsageError(option + " takes no value");
        }
        if (option == "--port" || option == "-p") {
            std::string error;
            const std::optional<PortArgument> port = PortOf(value, error);
            if (!port)
                return UsageError(error);
            for (const PortArgument& earlier : result.ports) {
                if (earlier.label == port->label)
                    return UsageError(port->label + " is named twice");
            }
            result.ports.push_back(*port);
        } else if (option == "--log") {
            if (value.empty())
                return UsageError("--log needs a file name");
            result.logFile = value;
            ++otherOptions;
        } else if (option == "--notify") {
            result.notify = true;
            ++otherOptions;
        } else if (option == "--stats") {
            result.stats = true;
            ++otherOptions;
        } else if (option == "--json") {
            result.json = true;
            ++otherOptions;
        } else if (option == "--quiet" || option == "-q") {
            result.quiet = true;
            ++otherOptions;
        } else if (option == "--list" || option == "-l") {
            actions.push_back(FlashAction::List);
        } else if (option == "--firmware") {
            actions.push_back(FlashAction::Firmware);
        } else if (option == "--version" || option == "-V") {
            actions.push_back(FlashAction::Version);
        } else if (option == "--help" || option == "-h") {
            help = true;
        } else {
            return UsageError("unknown argument '" + argument + "'");
        }
    }
    if (help) {
        result.action = FlashAction::Help;
    } else if (!actions.empty()) {
        if (actions.size() > 1 || !result.ports.empty() || otherOptions > 0)
            return UsageError("--list, --firmware and --version each stand alone");
        result.action = actions.front();
    } else if (result.notify && result.ports.size() > 1) {
        return UsageError(
            "--notify sends from UDP port 3004, which one run at a time can use; "
            "give it with one --port");
    }
    return result;
}

std::vector<std::string> SinglePortArguments(const FlashArguments& arguments,
                                             const PortArgument& port) {
    std::vector<std::string> words{"--port", port.label};
    if (arguments.json)
        words.emplace_back("--json");
    if (arguments.quiet)
        words.emplace_back("--quiet");
    if (arguments.stats)
        words.emplace_back("--stats");
    if (!arguments.logFile.empty()) {
        words.emplace_back("--log");
        words.push_back(arguments.logFile);
    }
    return words;
}

}  // namespace vorlan::flash

namespace vorlan::flash {

std::string UsageText(const std::string& programName) {
    const std::string range = "COM1 to COM" + std::to_string(kHighestComNumber);
    return "Usage: " + programName +
           " [--port PORT]... [--json] [--quiet] [--log FILE] [--stats] [--notify]\n"
           "  or:  " +
           programName +
           " --list | --firmware | --version | --help\n"
           "\n"
           "Searches for the board's boot loader on a serial port and writes the firmware\n"
           "built into this program into it, as the desktop updater's start button does.\n"
           "\n"
           "  --port PORT  the port: COM<n> (any letter case, " +
           range + "), " + PortArgumentHelp() +
           "               Without it: the port chosen last in the desktop updater.\n"
           "               Repeat it to program several boards at once: one run per port,\n"
           "               in parallel, each line prefixed with its port, then a summary.\n"
           "  --json       one JSON object per line: each step, then the result (port,\n"
           "               device, board, release text, firmware build, blocks sent,\n"
           "               resends, skipped blocks, seconds, result, exit status)\n"
           "  --quiet      print only the result line (the summary for several ports)\n"
           "  --log FILE   append the result as one JSON line with the time to FILE\n"
           "               (created if needed); for traceability on a production line\n"
           "  --stats      after the run, print one line on stderr:\n"
           "               stats seconds=<s> sent=<bytes> received=<bytes>\n"
           "  --notify     send each final result as a UDP record to 127.0.0.1:3000\n"
           "               (from local port 3004), as the desktop updater's \\P does;\n"
           "               with one port only\n"
           "  --list       list the serial ports present with their COM names\n"
           "  --firmware   list the firmware images built in, as the Version list does\n"
           "  --version    this program's version, firmware build and built-in images\n"
           "  --help       show this text\n"
           "\n"
           "Every text of the run is printed on a line of its own as it appears; a text\n"
           "repeated at once (such as \"Search Device\" on each of up to 100 tries) is\n"
           "printed only once. On a terminal a progress bar shows the transfer rate and\n"
           "the time left. The last line names the port and the board and says what\n"
           "became of the run, for example:\n"
           "  COM5 DEMO-24HJ (24HJ64, BIOS 09): Program OK (6.3 s)\n"
           "Ctrl-C stops the run (\" User Abort !! \"); a board stopped while being\n"
           "written holds a partial image and must be programmed again. A third Ctrl-C\n"
           "ends the program at once, for a run that no longer answers.\n"
           "\n" +
           PortNamingHelp() +
           "\n"
           "Every frame must be acknowledged, once. A reply that answers no frame (one\n"
           "waiting before a frame is sent, or a second 'K' with an answer) ends the run\n"
           "with \"Answer out of step !!\". What no byte protocol of this kind can tell from\n"
           "a good board: a board that acknowledges a frame before it has arrived, or one\n"
           "whose late second 'K' lands exactly when it drops the next frame.\n"
           "\n"
           "Exit status: 0 the board (every board) was programmed, 1 a run failed,\n"
           "2 usage error, 3 programmed but the --log line could not be written,\n"
           "130 stopped with Ctrl-C.\n";
}

}  // namespace vorlan::flash
