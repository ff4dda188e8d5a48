#include "tools/flash/image_crc.h"

#include <algorithm>

namespace vorlan::flash {

std::uint32_t Crc32(const std::uint8_t* bytes, std::size_t count, std::uint32_t crc) {
    crc = ~crc;
    for (std::size_t i = 0; i < count; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

std::uint32_t ImageCrc(const ImageDescriptor& image, std::int32_t sendLength,
                       std::int32_t jumpLength) {
    std::uint32_t crc = 0;
    const std::int32_t end = std::min(sendLength, image.programLength);
    if (image.programData != nullptr && end > jumpLength && jumpLength >= 0) {
        crc = Crc32(image.programData + jumpLength, static_cast<std::size_t>(end - jumpLength));
    }
    if (image.headData != nullptr && image.headLength > 0)
        crc = Crc32(image.headData, static_cast<std::size_t>(image.headLength), crc);
    if (image.eepromData != nullptr && image.eepromLength > 0)
        crc = Crc32(image.eepromData, static_cast<std::size_t>(image.eepromLength), crc);
    return crc;
}

}  // namespace vorlan::flash
