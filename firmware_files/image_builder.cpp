#include "firmware_files/image_builder.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "catalogue/chip_family.h"

namespace imagegen {
namespace {

std::vector<Family> FamiliesOfTheCatalogue() {
    std::vector<Family> families;
    for (const vorlan::ChipFamily& chip : vorlan::ChipFamilies()) {
        families.push_back({chip.partName, chip.family, chip.memory.sixteenBit,
                            static_cast<std::uint32_t>(vorlan::ProgramLimitBytes(chip))});
    }
    return families;
}

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

std::string Where(const std::string& path, int line) {
    return path + ":" + std::to_string(line) + ": ";
}

// Two records that give the same byte leave the file's meaning to chance.
bool CheckNoOverlap(const std::string& path, const std::vector<DataRecord>& records,
                    std::string& error) {
    std::vector<const DataRecord*> sorted;
    sorted.reserve(records.size());
    for (const DataRecord& record : records) sorted.push_back(&record);
    std::stable_sort(sorted.begin(), sorted.end(), [](const DataRecord* a, const DataRecord* b) {
        return a->address < b->address;
    });
    // Sorted by start, any overlap shows between neighbours.
    for (std::size_t i = 1; i < sorted.size(); ++i) {
        const DataRecord& before = *sorted[i - 1];
        const DataRecord& after = *sorted[i];
        if (std::uint64_t{before.address} + before.data.size() > after.address) {
            error = Where(path, std::max(before.line, after.line)) + "data at " +
                    Hex(after.address) + " overlaps data of line " +
                    std::to_string(std::min(before.line, after.line));
            return false;
        }
    }
    return true;
}

}  // namespace

const std::vector<Family>& Families() {
    static const std::vector<Family> families = FamiliesOfTheCatalogue();
    return families;
}

const Family* FamilyNamed(std::string_view name) {
    for (const Family& family : Families()) {
        const bool same = std::equal(name.begin(), name.end(), family.name.begin(),
                                     family.name.end(), [](char a, char b) {
                                         return std::toupper(static_cast<unsigned char>(a)) ==
                                                std::toupper(static_cast<unsigned char>(b));
                                     });
        if (same)
            return &family;
    }
    return nullptr;
}

bool BuildSlotImage(const Family& family, const std::string& path,
                    const std::vector<DataRecord>& records, SlotImage& image, std::string& error) {
    image = SlotImage{};
    if (!CheckNoOverlap(path, records, error))
        return false;
    std::uint32_t programEnd = 0;
    std::uint32_t eepromEnd = 0;
    int configLine = 0;
    int idLine = 0;
    for (const DataRecord& record : records) {
        for (std::size_t i = 0; i < record.data.size(); ++i) {
            const auto address = static_cast<std::uint32_t>(record.address + i);
            switch (SpaceOf(family, address)) {
                case Space::Program:
                    programEnd = std::max(programEnd, address + 1);
                    break;
                case Space::Eeprom:
                    if (address - kPic18Eeprom >= kEepromLimit) {
                        error = Where(path, record.line) + "EEPROM data at " + Hex(address) +
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
                    error = Where(path, record.line) + "program data at " + Hex(address) +
                            " above the limit " + Hex(family.programLimit) + " of chip " +
                            std::string(family.name);
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
    for (const DataRecord& record : records) {
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
        image.notes.push_back(Where(path, configLine) + "note: configuration data left out");
    }
    if (idLine != 0) {
        image.notes.push_back(Where(path, idLine) + "note: ID location data left out");
    }
    return true;
}

}  // namespace imagegen
