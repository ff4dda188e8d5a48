#include "catalogue/image_table.h"

#include "catalogue/chip_family.h"
#include "catalogue/image_data.h"

namespace vorlan {
namespace {

ImageDescriptor gTable[kImageRows][kImageColumns];
ImageDescriptor gCurrent;
bool gIdentitySet = false;
ImageIdentityBytes gIdentity;

ImageDescriptor DescriptorOf(const image_data::WiredSlot& slot) {
    return ImageDescriptor{slot.headData,      slot.headLength, slot.programData,
                           slot.programLength, slot.eepromData, slot.eepromLength};
}

}  // namespace

void BuildImageTable() {
    for (auto& row : gTable) {
        for (auto& slot : row) slot.programLength = 0;
    }
    for (const image_data::WiredSlot& slot : image_data::kWiredSlots) {
        gTable[slot.row][slot.family] = DescriptorOf(slot);
    }
}

const ImageDescriptor& ImageSlot(int row, int column) {
    return gTable[row][column];
}

void SelectImage(std::uint8_t chipIdentity, std::uint8_t boardCode) {
    const int family = ChipFamilyOf(chipIdentity);
    // The table has no row for board code 255: such a board has no image of
    // its own and gets the family default.
    gCurrent = boardCode < kImageRows ? gTable[boardCode][family] : ImageDescriptor{};
    if (gCurrent.programLength <= 1)
        gCurrent = gTable[0][family];
}

ImageDescriptor StoredSlot(int row, int column) {
    for (const image_data::WiredSlot& slot : image_data::kWiredSlots) {
        if (slot.row == row && slot.family == column)
            return DescriptorOf(slot);
    }
    return ImageDescriptor{};
}

ImageDescriptor& CurrentImage() {
    return gCurrent;
}

ImageIdentityBytes ImageIdentity() {
    if (gIdentitySet)
        return gIdentity;
    return ImageIdentityBytes{image_data::kImageBoardCode, image_data::kImagePreparation};
}

void PutImageInSlot(int row, int column, const ImageDescriptor& image) {
    gTable[row][column] = image;
}

void SetImageIdentity(ImageIdentityBytes identity) {
    gIdentity = identity;
    gIdentitySet = true;
}

std::uint8_t ImageMask(std::uint8_t position, std::uint8_t enable) {
    if (enable == 0)
        return 0;
    return static_cast<std::uint8_t>(position + image_data::kImageMaskConstant);
}

std::uint8_t ImageMaskFlag() {
    return image_data::kImageMaskFlag;
}

void ResetImageTable() {
    for (auto& row : gTable) {
        for (auto& slot : row) slot = ImageDescriptor{};
    }
    gCurrent = ImageDescriptor{};
    gIdentitySet = false;
}

ImageDescriptor& ImageSlotForTest(int row, int column) {
    return gTable[row][column];
}

}  // namespace vorlan
