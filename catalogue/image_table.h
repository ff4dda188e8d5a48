// The firmware images compiled into the program and the choice of one for an
// identified board. The image bytes come from the build (firmware/ and the
// image generator); this unit only describes and selects them.
#pragma once

#include <cstdint>

namespace vorlan {

struct ImageDescriptor {
    const std::uint8_t* headData = nullptr;  // the image's own reset instruction
    std::int32_t headLength = 0;
    std::uint8_t* programData = nullptr;  // writable: the run puts the jump block here
    std::int32_t programLength = 0;       // 0 or 1: the slot holds no image
    const std::uint8_t* eepromData = nullptr;
    std::int32_t eepromLength = 0;
};

inline constexpr int kImageRows = 255;    // board code 0..254
inline constexpr int kImageColumns = 10;  // family index; 8 and 9 stay empty

// Board code and preparation the build's firmware is for.
struct ImageIdentityBytes {
    std::uint8_t boardCode = 0;
    std::uint8_t preparation = 0;
};

// Fills the table from the wired slots of the build; every other slot gets
// programLength 0. Calling it again rebuilds the same table.
void BuildImageTable();
// row 0..254, column 0..9.
const ImageDescriptor& ImageSlot(int row, int column);
// The stored arrays and lengths of a wired slot, whether or not the table has
// been built; an empty descriptor for a slot that is not wired.
ImageDescriptor StoredSlot(int row, int column);
// Board-specific slot, falling back to the family default (row 0) when the
// board's slot is empty or the board code is 255 (no row of its own).
void SelectImage(std::uint8_t chipIdentity, std::uint8_t boardCode);
ImageDescriptor& CurrentImage();
ImageIdentityBytes ImageIdentity();
// A firmware read at run time (vorlan-flash --hex) put in a slot of the
// built table, in the place of the build's; its arrays must outlive the
// runs. Lasts until BuildImageTable or ResetImageTable.
void PutImageInSlot(int row, int column, const ImageDescriptor& image);
// The image identity of the runs from now on, in place of the build's, for
// such a firmware; until ResetImageTable.
void SetImageIdentity(ImageIdentityBytes identity);
// Mask for identity bytes read out of a stored image: (position + K) mod 256
// when enabled, else 0.
std::uint8_t ImageMask(std::uint8_t position, std::uint8_t enable);
std::uint8_t ImageMaskFlag();

// Tests: every slot and the current image back to empty, and a way to put a
// made-up image into one slot of the built table.
void ResetImageTable();
ImageDescriptor& ImageSlotForTest(int row, int column);

}  // namespace vorlan
