#include "terminal/serial_arguments.h"

#include "terminal/serial_counter.h"

namespace vorlan::flash {

namespace {

const char* const kCounted = "--serial-counted";

std::string FormatText(const SerialFormat& format) {
    using Kind = SerialFormat::Kind;
    switch (format.kind) {
        case Kind::kLittle:
            return "le" + std::to_string(format.width);
        case Kind::kBig:
            return "be" + std::to_string(format.width);
        case Kind::kAscii:
            return "ascii:" + std::to_string(format.width);
        case Kind::kBcd:
            return "bcd:" + std::to_string(format.width);
        case Kind::kBytes:
            break;
    }
    return "bytes";
}

}  // namespace

bool IsSerialOption(const std::string& option, bool& takesValue) {
    takesValue = option == "--serial" || option == "--serial-range" || option == "--serial-list" ||
                 option == "--serial-at" || option == "--serial-format";
    return takesValue || option == kCounted;
}

std::string TakeSerialOption(const std::string& option, const std::string& value,
                             SerialArguments& serial) {
    std::string error;
    if (option == kCounted) {
        serial.counted = true;
    } else if (option == "--serial" || option == "--serial-list") {
        if (value.empty())
            return option + " needs a file name";
        (option == "--serial" ? serial.source.counterFile : serial.source.listFile) = value;
    } else if (option == "--serial-range") {
        std::uint64_t first = 0;
        std::uint64_t last = 0;
        if (!ParseSerialRange(value, first, last))
            return "--serial-range takes FIRST-LAST (64-bit, FIRST <= LAST), not '" + value + "'";
        serial.source.first = first;
        serial.source.last = last;
    } else if (option == "--serial-at") {
        ParseSerialAt(value, serial.place, error);
    } else {
        SerialFormat format;
        if (ParseSerialFormat(value, format, error))
            serial.format = format;
    }
    return error;
}

std::string SerialCombinationProblem(const SerialArguments& serial, bool identify) {
    const SerialSource& source = serial.source;
    if (!source.counterFile.empty() && !source.listFile.empty())
        return "--serial and --serial-list each stand alone";
    if (source.first && source.counterFile.empty())
        return "--serial-range goes with --serial FILE";
    if ((serial.place.given || serial.format) && !source.Given())
        return "--serial-at and --serial-format go with --serial or --serial-list";
    if (identify && source.Given())
        return "--identify writes nothing, so it takes no serial number";
    return "";
}

void AddSerialArguments(const SerialArguments& serial, std::vector<std::string>& words) {
    if (!serial.Given())
        return;
    const SerialSource& source = serial.source;
    words.insert(words.end(), {source.listFile.empty() ? "--serial" : "--serial-list",
                               source.listFile.empty() ? source.counterFile : source.listFile});
    if (source.first) {
        words.insert(words.end(), {"--serial-range", std::to_string(*source.first) + "-" +
                                                         std::to_string(*source.last)});
    }
    if (serial.place.given) {
        words.insert(words.end(),
                     {"--serial-at", std::string(serial.place.eeprom ? "eeprom:" : "program:") +
                                         std::to_string(serial.place.address)});
    }
    if (serial.format)
        words.insert(words.end(), {"--serial-format", FormatText(*serial.format)});
    words.emplace_back(kCounted);
}

}  // namespace vorlan::flash

namespace vorlan::flash {

std::string SerialHelp() {
    return "Serial numbers (a number of its own for every board):\n"
           "  --serial FILE\n"
           "               take each board's number from the counter file FILE (made\n"
           "               by --serial-range, or by the first call that names one)\n"
           "  --serial-range FIRST-LAST\n"
           "               the counter's numbers, up to 64 bits, decimal or 0x hex; a\n"
           "               call that names another range than FILE holds is refused\n"
           "  --serial-list FILE\n"
           "               take each board's value from FILE instead, one a line in\n"
           "               order (MAC addresses in hex, say); blank lines and lines\n"
           "               starting with # do not count; the state is FILE.state\n"
           "  --serial-at eeprom:ADDR | program:ADDR\n"
           "               write the number into each board's own copy of the image\n"
           "               there: a byte of the PIC18 data EEPROM (0 to 255), or a\n"
           "               program address as the program shows addresses (bytes on\n"
           "               PIC18; on PIC24/dsPIC33 2 units an instruction, ADDR even,\n"
           "               the bytes filling each instruction's three bytes low byte\n"
           "               first, its fourth (phantom) byte 0). Where the image ends\n"
           "               before, erased bytes (0xFF) are added up to it. Refused\n"
           "               before any port opens: the jump to the boot loader at 0,\n"
           "               at or above the program limit (head block, boot loader),\n"
           "               past the EEPROM's 256 bytes, EEPROM on a 16-bit part.\n"
           "               Without it the number is only handed out and recorded.\n"
           "  --serial-format le2|le4|le8|be2|be4|be8|ascii:N|bcd:N|bytes\n"
           "               binary little- or big-endian of 2, 4 or 8 bytes (default\n"
           "               le4), N decimal digits in ASCII zero-filled, N bytes of\n"
           "               packed BCD most significant first, or a list's hex bytes\n"
           "               as written (default for --serial-list); a number that\n"
           "               does not fit is refused before any port opens\n"
           "  What is promised: no number is ever on two boards that vorlan-flash\n"
           "  called programmed, across the ports of a call and across processes\n"
           "  (a lock on FILE.lock) and across a crash or kill -9 (every change is\n"
           "  written to a temporary file, flushed and renamed over FILE). A number is\n"
           "  reserved when its board's run starts and kept only when the run\n"
           "  succeeds; a failed or stopped run gives it back and it is the next one\n"
           "  handed out, so the numbers on programmed boards leave no gap. The\n"
           "  result line, JSON and log name the board's number (\"serial\"), also for\n"
           "  a failed run; \"image_crc32\" is of what was sent, the number included,\n"
           "  \"firmware_crc32\" of the firmware without it. Numbers reserved by a\n"
           "  process that no longer runs come back with the next number taken, and\n"
           "  the station that takes it says so. Ending a call with several ports,\n"
           "  even by kill -9, stops its runs (one process a port) as well.\n"
           "  --count N with fewer than N numbers left for each port is refused\n"
           "  before any port opens; without --count the loop ends when the last\n"
           "  number is used; a board with no number left gets nothing. --identify\n"
           "  takes no number.\n";
}

}  // namespace vorlan::flash
