#include "terminal/flash_arguments.h"

#include <algorithm>
#include <cctype>

#include "engine/decimal_text.h"
#include "platform/port_help.h"
#include "ports/serial_driver.h"
#include "ports/trace_store.h"
#include "terminal/run_summary.h"

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

// A decimal (or 0x hexadecimal) number from low to high, the whole text.
std::optional<int> SmallNumber(const std::string& text, int low, int high) {
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const std::string digits = hex ? text.substr(2) : text;
    if (digits.empty() || digits.size() > 8)
        return std::nullopt;
    long value = 0;
    for (char c : digits) {
        const int digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                          : hex && std::isxdigit(static_cast<unsigned char>(c))
                              ? std::tolower(static_cast<unsigned char>(c)) - 'a' + 10
                              : -1;
        if (digit < 0)
            return std::nullopt;
        value = value * (hex ? 16 : 10) + digit;
    }
    if (value < low || value > high)
        return std::nullopt;
    return static_cast<int>(value);
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
        bool takesValue = option == "--port" || option == "-p" || option == "--log" ||
                          option == "--trace" || option == "--explain" ||
                          option == "--count" || option == "--hex" || option == "--chip" ||
                          option == "--board-code" || option == "--preparation" ||
                          option == "--reset";
        bool serialValue = false;
        const bool serialOption = IsSerialOption(option, serialValue);
        takesValue = takesValue || serialValue;
        if (takesValue && !hasInlineValue) {
            if (i + 1 >= arguments.size())
                return UsageError(option + " needs a value");
            value = arguments[++i];
        } else if (!takesValue && hasInlineValue) {
            return UsageError(option + " takes no value");
        }
        if (serialOption) {
            if (const std::string error = TakeSerialOption(option, value, result.serial);
                !error.empty())
                return UsageError(error);
            ++otherOptions;
        } else if (option == "--port" || option == "-p") {
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
        } else if (option == "--trace" || option == "--explain") {
            if (value.empty())
                return UsageError(option + " needs a file name");
            (option == "--trace" ? result.traceFile : result.explainFile) = value;
            ++otherOptions;
        } else if (option == "--loop") {
            result.loop = true;
            ++otherOptions;
        } else if (option == "--count") {
            const std::optional<int> count = SmallNumber(value, 1, 1'000'000);
            if (!count)
                return UsageError("--count needs a number of boards from 1, not '" + value + "'");
            result.count = *count;
            result.loop = true;
            ++otherOptions;
        } else if (option == "--identify") {
            result.identify = true;
            ++otherOptions;
        } else if (option == "--hex") {
            if (value.empty())
                return UsageError("--hex needs an Intel HEX file");
            result.hexFile = value;
            ++otherOptions;
        } else if (option == "--chip") {
            result.chipName = value;
            ++otherOptions;
        } else if (option == "--board-code" || option == "--preparation") {
            const std::optional<int> byte = SmallNumber(value, 0, 255);
            if (!byte)
                return UsageError(option + " needs a number from 0 to 255, not '" + value + "'");
            (option == "--board-code" ? result.boardCode : result.preparation) =
                static_cast<std::uint8_t>(*byte);
            ++otherOptions;
        } else if (option == "--reset") {
            std::string line = value;
            for (char& c : line) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            if (line != "dtr" && line != "rts")
                return UsageError("--reset takes dtr or rts, not '" + value + "'");
            result.reset =
                line == "dtr" ? FlashArguments::ResetLine::kDtr : FlashArguments::ResetLine::kRts;
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
        } else if (option == kRecordsOption) {
            result.records = true;
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
    } else if (!result.explainFile.empty()) {
        // --explain reads a trace and touches no port: only --json goes with it.
        if (otherOptions != (result.json ? 2 : 1) || !result.ports.empty())
            return UsageError("--explain FILE takes only --json");
        result.action = FlashAction::Explain;
    } else if (result.identify && result.loop) {
        return UsageError("--identify asks one board; it takes no --loop or --count");
    } else if (result.hexFile.empty() &&
               (!result.chipName.empty() || result.boardCode || result.preparation)) {
        return UsageError("--chip, --board-code and --preparation go with --hex");
    } else if (const std::string serial = SerialCombinationProblem(result.serial, result.identify);
               !serial.empty()) {
        return UsageError(serial);
    } else if (result.notify && result.ports.size() > 1) {
        return UsageError(
            "--notify sends from UDP port 3004, which one run at a time can use; "
            "give it with one --port");
    }
    return result;
}

std::vector<std::string> SinglePortArguments(const FlashArguments& arguments,
                                             const PortArgument& port) {
    std::vector<std::string> words{"--port", port.label, kRecordsOption};
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
    if (!arguments.traceFile.empty()) {
        words.emplace_back("--trace");
        words.push_back(TraceFileOf(arguments.traceFile, port.label, 0));
    }
    if (arguments.loop)
        words.emplace_back("--loop");
    if (arguments.count > 0) {
        words.emplace_back("--count");
        words.push_back(std::to_string(arguments.count));
    }
    if (arguments.identify)
        words.emplace_back("--identify");
    const auto withValue = [&words](const char* option, const std::string& value) {
        if (!value.empty()) {
            words.emplace_back(option);
            words.push_back(value);
        }
    };
    withValue("--hex", arguments.hexFile);
    withValue("--chip", arguments.chipName);
    withValue("--board-code", arguments.boardCode ? std::to_string(*arguments.boardCode) : "");
    withValue("--preparation", arguments.preparation ? std::to_string(*arguments.preparation) : "");
    if (arguments.reset != FlashArguments::ResetLine::kNone)
        withValue("--reset", arguments.reset == FlashArguments::ResetLine::kDtr ? "dtr" : "rts");
    AddSerialArguments(arguments.serial, words);
    return words;
}

}  // namespace vorlan::flash

namespace vorlan::flash {

std::string UsageText(const std::string& programName) {
    const std::string range = "COM1 to COM" + std::to_string(kHighestComNumber);
    return "Usage: " + programName +
           " [--port PORT]... [OPTION]...\n"
           "  or:  " +
           programName + " [--port PORT]... --loop [--count N] [OPTION]...\n" +
           "  or:  " + programName + " [--port PORT]... --identify [OPTION]...\n" +
           "  or:  " + programName + " --explain FILE [--json]\n" + "  or:  " + programName +
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
           "               device, board, release text, firmware build, firmware, its\n"
           "               CRC-32, blocks sent, resends, skipped blocks, seconds, result,\n"
           "               exit status; with --loop the board's number)\n"
           "  --quiet      print only the result line (the summary for several ports)\n"
           "  --log FILE   append the result as one JSON line with the time to FILE\n"
           "               (created if needed; checked before the port is opened); for\n"
           "               traceability on a production line\n"
           "  --stats      after the run, print one line on stderr:\n"
           "               stats seconds=<s> sent=<bytes> received=<bytes>\n"
           "  --trace FILE write the run's trace to FILE: every byte to and from the board\n"
           "               with its time, and the port's events (README: Traces). With\n"
           "               several ports or --loop, one file per port and board, named\n"
           "               with both (run.trace: run-COM5-3.trace). Without it, a failed\n"
           "               run's trace is kept in the state folder, the newest 50, and\n"
           "               the result names it. Linux: $XDG_STATE_HOME/vorlan/traces\n"
           "               (~/.local/state/vorlan/traces); Windows:\n"
           "               %LOCALAPPDATA%\\Vorlan\\traces\n"
           "  --explain FILE\n"
           "               tell a saved trace in words: the search, the board's identity,\n"
           "               each frame and its answer, the timing, and where the run went\n"
           "               wrong; with --json as one JSON object\n"
           "  --notify     send each final result as a UDP record to 127.0.0.1:3000\n"
           "               (from local port 3004), as the desktop updater's \\P does;\n"
           "               with one port only\n"
           "\n"
           "Production line and firmware work:\n"
           "  --loop       board after board on each port, hands-free: after a board's\n"
           "               result, wait until it is gone (no answer for 1 s, or its port\n"
           "               vanished), then until the next board answers, with no limit,\n"
           "               and program it. A board that stays is never programmed twice;\n"
           "               a port that vanished (or is not there yet) is opened once its\n"
           "               COM name leads to a device. Each result carries the board's\n"
           "               number and the tally:\n"
           "                 COM5 #2 DEMO-24HJ (24HJ64, BIOS 09): Program OK (...) - 2\n"
           "                 programmed, 0 failed\n"
           "               Ctrl-C while waiting ends the loop with the port's tally.\n"
           "  --count N    with --loop (which it implies): end after N boards per port\n"
           "  --identify   search and identify the board, then report it (BIOS, chip,\n"
           "               board code, preparation, release text, skip window) and\n"
           "               whether the firmware fits it; writes nothing to the board\n"
           "  --hex FILE   program this Intel HEX file instead of the built-in firmware,\n"
           "               read by the build's own rules, for the chip family of the\n"
           "               build's default slot; a fault is refused as FILE:LINE before\n"
           "               any port is opened (exit status 2)\n"
           "  --chip NAME  with --hex: the family the file is for (258, 2580, 2480, 248,\n"
           "               2320, 24J10, 24HJ64, 33FJ128)\n"
           "  --board-code N, --preparation P\n"
           "               with --hex: the board code and preparation the file is for\n"
           "               (default: the build's)\n"
           "  --reset dtr|rts\n"
           "               for jigs that wire a modem line to the board's reset: after\n"
           "               the port is opened, assert that line for 50 ms, then search\n"
           "\n" +
           SerialHelp() +
           "\n"
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
           "  COM5 DEMO-24HJ (24HJ64, BIOS 09): Program OK (6.3 s, built-in 24HJ64,\n"
           "  CRC-32 00d0a16d)\n"
           "The CRC-32 is that of what was written (program memory after the jump to\n"
           "the boot loader without the blocks that the board's skip window leaves\n"
           "out, then the head and EEPROM bytes); the JSON result's \"firmware_crc32\" is\n"
           "that of the whole firmware, skip window included. Ctrl-C stops the run\n"
           "(\" User Abort !! \"); a board stopped while being written, or one that\n"
           "failed after blocks were sent, holds a partial image and must be programmed\n"
           "again. A third Ctrl-C ends the program at once, for a run that no longer\n"
           "answers. On Linux, SIGTERM and a hang-up stop the run as Ctrl-C does (not\n"
           "when ignored, as under nohup); ending a call with several ports, even by\n"
           "kill -9, stops the runs of its ports too.\n"
           "\n" +
           PortNamingHelp() +
           "\n"
           "Every frame must be acknowledged, once. A reply that answers no frame (one\n"
           "waiting before a frame is sent, or a second 'K' with an answer) ends the run\n"
           "with \"" +
           ResultWords(RunEnd::OutOfStep) +
           "\"; an identity answer instead of an answer (the\n"
           "board restarted) with \"" +
           ResultWords(RunEnd::BoardRestarted) +
           "\". Only a whole identity answer\n"
           "finds the board; bytes after it and its information frame, before the first\n"
           "frame, end the run with \"" +
           ResultWords(RunEnd::GarbledIdentity) +
           "\" with nothing\n"
           "written. What no byte protocol of this\n"
           "kind can tell from a good board: a board that acknowledges a frame before it\n"
           "has arrived; one whose late second 'K' lands exactly when it drops the next\n"
           "frame; one that fell silent while the line still carries a lone 'K' now and\n"
           "then; one with the short identity answer (chip, 'K') that restarts mid-run.\n"
           "\n"
           "Exit status: 0 the board (every board) was programmed, 1 a run failed,\n"
           "2 usage error, a --hex file refused or a --log file that cannot be written\n"
           "(nothing sent), 3 programmed but the --log line could not be written, 130\n"
           "stopped with Ctrl-C. With --loop: 0 when no board failed (with --count,\n"
           "when all N were programmed), else 1; 130 when Ctrl-C stopped a run.\n"
           "With --identify: 0 when a board answered.\n";
}

}  // namespace vorlan::flash
