// The firmware data of this build, written by the image generator from the
// files in firmware/ (the generated source lives in the build tree only).
// Read by the image table and the version list; nothing else uses it.
#pragma once

#include <cstdint>

namespace vorlan::image_data {

// One of the wired slots of the image table. A slot whose firmware is not part
// of the build points at one-byte placeholders with lengths 1, 1, 1, so it
// counts as empty. Program bytes are writable: the run puts the boot-loader
// jump into the first bytes of the selected image.
struct WiredSlot {
    int row;     // board code, 0 = the family default
    int family;  // column of the image table
    const std::uint8_t* headData;
    std::int32_t headLength;
    std::uint8_t* programData;
    std::int32_t programLength;
    const std::uint8_t* eepromData;
    std::int32_t eepromLength;
};

inline constexpr int kWiredSlotCount = 23;
extern const WiredSlot kWiredSlots[kWiredSlotCount];

// Board code and preparation the build's firmware is for.
extern const std::uint8_t kImageBoardCode;
extern const std::uint8_t kImagePreparation;
// Identity bytes inside the stored images are masked with (position + K) when
// the flag is set.
extern const std::uint8_t kImageMaskFlag;
extern const std::uint8_t kImageMaskConstant;

}  // namespace vorlan::image_data
