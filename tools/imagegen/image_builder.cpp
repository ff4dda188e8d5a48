#include "tools/imagegen/image_builder.h"

#include <algorithm>
#include <cstdio>

namespace imagegen {
namespace {

enum class Space { Program, Eeprom, Configuration, IdLocations, Outside };

constexpr std::uint32_t kPic18Id = 0x200000;
constexpr std::uint32_t kPic18Config = 0x300000;
constexpr std::uint32_t kPic18ConfigEnd = 0x400000;
constexpr std::uint32_t kPic18Eeprom = 0xF00000;
constexpr std::uint32_t kWideConfig = 0x1000000;

Space SpaceOf(const Family& family, std::uint32_t address) {
    if (address < family.programLimit)
        return Space::Program;
    if (family.sixteenBit)
        return address >= kWideConfig ? Space::Configuration : Space::Outside;
    if (address >= kPic18Eeprom)
        return Space::Eeprom;
    if (address >= kPic18Config && address < kPic18ConfigEnd)
        return Space::Configuration;
    if (address >= kPic18Id && address < kPic18Id + 8)
        return Space::IdLocations;
    return Space::Outside;
}

std::string Hex(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", value);
    return text;
}

// Erased flash at an image offset.
std::uint8_t ErasedByte(const Family& family, std::size_t offset) {
    return family.sixteenBit && offset % 4 == 3 ? 0x00 : 0xFF;
}

}  // namespace

bool BuildSlotImage(const Family& family, const std::string& path,
                    const std::vector<HexRecord>& records, SlotImage& image, std::string& error) {
    image = SlotImage{};
    std::uint32_t programEnd = 0;
    std::uint32_t eepromEnd = 0;
    int configLine = 0;
    int idLine = 0;
    for (const HexRecord& record : records) {
        for (std::size_t i = 0; i < record.data.size(); ++i) {
            const auto address = static_cast<std::uint32_t>(record.address + i);
            const std::string where = path + ":" + std::to_string(record.line) + ": ";
            switch (SpaceOf(family, address)) {
                case Space::Program:
                    programEnd = std::max(programEnd, address + 1);
                    break;
                case Space::Eeprom:
                    if (address - kPic18Eeprom >= kEepromLimit) {
                        error = where + "EEPROM data at " + Hex(address) +
                                " beyond the 256 bytes the boot loader can address";
                        return false;
                    }
                    eepromEnd = std::max(eepromEnd, address - kPic18Eeprom + 1);
                    break;
                case Space::Configuration:
                    if (configLine == 0)
                        configLine = record.line;
                    break;
                case Space::IdLocations:
                    if (idLine == 0)
                        idLine = record.line;
                    break;
                case Space::Outside:
                    error = where + "program data at " + Hex(address) + " above the limit " +
                            Hex(family.programLimit) + " of chip " + family.name;
                    return false;
            }
        }
    }
    if (programEnd == 0) {
        error = path + ":1: no program data";
        return false;
    }
    const std::uint32_t unit = family.sixteenBit ? 4 : 2;
    programEnd = (programEnd + unit - 1) / unit * unit;
    image.program.resize(programEnd);
    for (std::size_t i = 0; i < image.program.size(); ++i) {
        image.program[i] = ErasedByte(family, i);
    }
    image.eeprom.assign(eepromEnd, 0xFF);
    for (const HexRecord& record : records) {
        for (std::size_t i = 0; i < record.data.size(); ++i) {
            const auto address = static_cast<std::uint32_t>(record.address + i);
            const Space space = SpaceOf(family, address);
            if (space == Space::Program)
                image.program[address] = record.data[i];
            if (space == Space::Eeprom)
                image.eeprom[address - kPic18Eeprom] = record.data[i];
        }
    }
    const std::size_t headLength = family.sixteenBit ? 8 : 4;
    for (std::size_t i = 0; i < headLength; ++i) {
        image.head.push_back(i < image.program.size() ? image.program[i] : ErasedByte(family, i));
    }
    if (configLine != 0) {
        image.notes.push_back(path + ":" + std::to_string(configLine) +
                              ": note: configuration data left out");
    }
    if (idLine != 0) {
        image.notes.push_back(path + ":" + std::to_string(idLine) +
                              ": note: ID location data left out");
    }
    return true;
}

}  // namespace imagegen
