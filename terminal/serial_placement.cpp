#include "terminal/serial_placement.h"

#include <cctype>
#include <cstdio>

#include "terminal/serial_counter.h"

namespace vorlan::flash {

namespace {

constexpr std::uint32_t kEepromBytes = 256;  // the EEPROM frame's address is one byte
// A PIC18 boot loader from BIOS byte 5 on takes 128 bytes more than the
// older one the family's widest limit is for (448 against 320).
constexpr std::int32_t kNewerPic18Reserve = 128;

std::string Hex(std::uint64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(value));
    return text;
}

bool HexBytes(const std::string& value, std::vector<std::uint8_t>& bytes) {
    std::string digits;
    for (char c : value) {
        if (std::isxdigit(static_cast<unsigned char>(c)) != 0) {
            digits += c;
        } else if (c != ':' && c != '-' && c != ' ') {
            return false;
        }
    }
    if (digits.empty() || digits.size() % 2 != 0)
        return false;
    for (std::size_t i = 0; i < digits.size(); i += 2)
        bytes.push_back(static_cast<std::uint8_t>(std::stoul(digits.substr(i, 2), nullptr, 16)));
    return true;
}

// Image bytes per unit of the family's program addresses.
std::uint32_t OffsetOf(const SerialPlace& place, bool sixteenBit, std::size_t k) {
    if (place.eeprom || !sixteenBit)
        return place.address + static_cast<std::uint32_t>(k);
    return place.address * 2 + static_cast<std::uint32_t>(k / 3 * 4 + k % 3);
}

}  // namespace

bool ParseSerialAt(const std::string& text, SerialPlace& place, std::string& error) {
    const std::size_t colon = text.find(':');
    const std::string memory = text.substr(0, colon);
    const std::uint64_t address =
        ParseSerialNumber(colon == std::string::npos ? "" : text.substr(colon + 1))
            .value_or(~std::uint64_t{0});
    if ((memory != "eeprom" && memory != "program") || address > 0xFFFFFF) {
        error = "--serial-at takes eeprom:ADDR or program:ADDR (ADDR decimal or 0x hex), not '" +
                text + "'";
        return false;
    }
    place = SerialPlace{true, memory == "eeprom", static_cast<std::uint32_t>(address)};
    return true;
}

bool ParseSerialFormat(const std::string& text, SerialFormat& format, std::string& error) {
    using Kind = SerialFormat::Kind;
    const std::size_t colon = text.find(':');
    const std::string name = text.substr(0, colon);
    const std::uint64_t width =
        ParseSerialNumber(colon == std::string::npos ? "" : text.substr(colon + 1)).value_or(0);
    if ((text == "le2" || text == "le4" || text == "le8" || text == "be2" || text == "be4" ||
         text == "be8")) {
        format = {text[0] == 'l' ? Kind::kLittle : Kind::kBig, text[2] - '0'};
    } else if (name == "ascii" && width >= 1 && width <= 20) {
        format = {Kind::kAscii, static_cast<int>(width)};
    } else if (name == "bcd" && width >= 1 && width <= 10) {
        format = {Kind::kBcd, static_cast<int>(width)};
    } else if (text == "bytes") {
        format = {Kind::kBytes, 0};
    } else {
        error =
            "--serial-format takes le2, le4, le8, be2, be4, be8, ascii:N (1 to 20 digits), "
            "bcd:N (1 to 10 bytes) or bytes, not '" +
            text + "'";
        return false;
    }
    return true;
}

bool SerialBytes(const SerialFormat& format, const std::string& value,
                 std::vector<std::uint8_t>& bytes, std::string& error) {
    using Kind = SerialFormat::Kind;
    bytes.clear();
    if (format.kind == Kind::kBytes) {
        if (HexBytes(value, bytes))
            return true;
        error = "'" + value + "' is no row of hex bytes (such as 00:1A:2B:3C:4D:5E)";
        return false;
    }
    const std::optional<std::uint64_t> number = ParseSerialNumber(value);
    if (!number) {
        error = "'" + value + "' is no number for --serial-format";
        return false;
    }
    const std::string digits = std::to_string(*number);
    const std::size_t width = static_cast<std::size_t>(format.width);
    const bool fits = format.kind == Kind::kAscii ? digits.size() <= width
                      : format.kind == Kind::kBcd ? digits.size() <= 2 * width
                                                  : width >= 8 || *number >> (8 * width) == 0;
    if (!fits) {
        error = "serial " + value + " does not fit the format's " + std::to_string(width) +
                (format.kind == Kind::kAscii ? " digits" : " bytes");
        return false;
    }
    if (format.kind == Kind::kAscii) {
        const std::string text = std::string(width - digits.size(), '0') + digits;
        bytes.assign(text.begin(), text.end());
    } else if (format.kind == Kind::kBcd) {
        const std::string text = std::string(2 * width - digits.size(), '0') + digits;
        for (std::size_t i = 0; i < text.size(); i += 2)
            bytes.push_back(static_cast<std::uint8_t>((text[i] - '0') << 4 | (text[i + 1] - '0')));
    } else {
        for (std::size_t i = 0; i < width; ++i) {
            const std::size_t shift = 8 * (format.kind == Kind::kLittle ? i : width - 1 - i);
            bytes.push_back(static_cast<std::uint8_t>(*number >> shift));
        }
    }
    return true;
}

void SerialProgramSpan(const SerialPlace& place, bool sixteenBit, std::size_t count,
                       std::size_t& begin, std::size_t& end) {
    begin = OffsetOf(place, sixteenBit, 0);
    end = count == 0 ? begin
          : sixteenBit && !place.eeprom
              ? begin + (count + 2) / 3 * 4  // whole instructions, phantom bytes included
              : begin + count;
}

bool CheckSerialPlace(const ChipFamily& family, const SerialPlace& place, std::size_t count,
                      std::string& error) {
    const bool sixteenBit = family.memory.sixteenBit;
    const std::string chip = "the " + std::string(family.partName) + " family";
    std::size_t begin = 0;
    std::size_t end = 0;
    SerialProgramSpan(place, sixteenBit, count, begin, end);
    if (place.eeprom) {
        if (sixteenBit) {
            error = "--serial-at eeprom: " + chip + " has no data EEPROM that a run writes";
        } else if (end > kEepromBytes) {
            error = "--serial-at eeprom:" + Hex(place.address) + ": " + std::to_string(count) +
                    " bytes there end past the EEPROM's 256 bytes";
        }
        return error.empty();
    }
    const std::size_t jumpBytes = sixteenBit ? 8 : 4;
    std::int32_t limit = ProgramLimitBytes(family);
    if (!sixteenBit && family.chipIdentity != kChip24J10)
        limit -= kNewerPic18Reserve;
    const std::uint32_t perAddress = sixteenBit ? 2 : 1;
    if (sixteenBit && place.address % 2 != 0) {
        error = "--serial-at program:" + Hex(place.address) + ": " + chip +
                " starts each instruction at an even address";
    } else if (begin < jumpBytes) {
        error = "--serial-at program:" + Hex(place.address) +
                ": the run writes the jump to the boot loader at addresses 0x0 to " +
                Hex(jumpBytes / perAddress - 1);
    } else if (end > static_cast<std::size_t>(limit)) {
        error = "--serial-at program:" + Hex(place.address) + ": " + std::to_string(count) +
                " bytes there reach the program limit " + Hex(limit / perAddress) + " of " + chip +
                " (the head block and the boot loader lie there)";
    }
    return error.empty();
}

void PlaceSerialBytes(const SerialPlace& place, bool sixteenBit,
                      const std::vector<std::uint8_t>& bytes, std::vector<std::uint8_t>& program,
                      std::vector<std::uint8_t>& eeprom) {
    std::vector<std::uint8_t>& memory = place.eeprom ? eeprom : program;
    const bool words = sixteenBit && !place.eeprom;
    std::size_t begin = 0;
    std::size_t end = 0;
    SerialProgramSpan(place, sixteenBit, bytes.size(), begin, end);
    if (!place.eeprom && !sixteenBit)
        end += end % 2;  // a whole PIC18 instruction word, as the image builder rounds
    while (memory.size() < end) memory.push_back(words && memory.size() % 4 == 3 ? 0x00 : 0xFF);
    for (std::size_t k = 0; k < bytes.size(); ++k)
        memory[OffsetOf(place, sixteenBit, k)] = bytes[k];
    if (words) {
        for (std::size_t at = begin + 3; at < end; at += 4) memory[at] = 0x00;
    }
}

}  // namespace vorlan::flash
