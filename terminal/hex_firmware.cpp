#include "terminal/hex_firmware.h"

#include "catalogue/image_table.h"
#include "firmware_files/image_builder.h"
#include "firmware_files/intel_hex_reader.h"

namespace vorlan::flash {

namespace {

// The build's default slot: the first family whose default row holds an
// image (the column order of the table), else the first family.
const imagegen::Family& DefaultFamily() {
    for (const imagegen::Family& family : imagegen::Families()) {
        if (StoredSlot(0, family.index).programLength > 1)
            return family;
    }
    return imagegen::Families().front();
}

std::string FamilyNames() {
    std::string names;
    for (const imagegen::Family& family : imagegen::Families())
        names += (names.empty() ? "" : ", ") + std::string(family.name);
    return names;
}

}  // namespace

bool ReadHexFirmware(const FlashArguments& arguments, HexFirmware& firmware, std::string& error) {
    firmware = HexFirmware{};
    const imagegen::Family* family = &DefaultFamily();
    firmware.family = family->index;
    firmware.familyName = std::string(family->name);
    if (arguments.hexFile.empty())
        return true;
    if (!arguments.chipName.empty()) {
        family = imagegen::FamilyNamed(arguments.chipName);
        if (family == nullptr) {
            error = "--chip " + arguments.chipName +
                    " is no chip of the image table; the chips are " + FamilyNames();
            return false;
        }
    }
    std::vector<intel_hex::DataRecord> records;
    if (!intel_hex::ReadIntelHexFile(arguments.hexFile, records, error))
        return false;
    imagegen::SlotImage image;
    if (!imagegen::BuildSlotImage(*family, arguments.hexFile, records, image, error))
        return false;
    if (image.program.size() <= 1) {
        error = arguments.hexFile + ": no program data for chip " + std::string(family->name);
        return false;
    }
    firmware.given = true;
    firmware.path = arguments.hexFile;
    firmware.family = family->index;
    firmware.familyName = std::string(family->name);
    firmware.head = std::move(image.head);
    firmware.program = std::move(image.program);
    firmware.eeprom = std::move(image.eeprom);
    firmware.notes = std::move(image.notes);
    firmware.boardCode = arguments.boardCode;
    firmware.preparation = arguments.preparation;
    return true;
}

void InstallHexFirmware(HexFirmware& firmware) {
    if (!firmware.given)
        return;
    ImageDescriptor slot;
    slot.headData = firmware.head.data();
    slot.headLength = static_cast<std::int32_t>(firmware.head.size());
    slot.programData = firmware.program.data();
    slot.programLength = static_cast<std::int32_t>(firmware.program.size());
    slot.eepromData = firmware.eeprom.data();
    slot.eepromLength = static_cast<std::int32_t>(firmware.eeprom.size());
    PutImageInSlot(firmware.row, firmware.family, slot);
    // The file is what goes into every board of its family: a built-in
    // image for one board code would otherwise be chosen over it.
    for (int row = 0; row < kImageRows; ++row) {
        if (row != firmware.row)
            PutImageInSlot(row, firmware.family, ImageDescriptor{});
    }
    const ImageIdentityBytes built = ImageIdentity();
    SetImageIdentity({firmware.boardCode.value_or(built.boardCode),
                      firmware.preparation.value_or(built.preparation)});
}

std::string FirmwareName(const HexFirmware& firmware) {
    return firmware.given ? firmware.path : "built-in " + firmware.familyName;
}

}  // namespace vorlan::flash
