#include "tools/flash/serial_arguments.h"

#include "tools/flash/serial_counter.h"

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
