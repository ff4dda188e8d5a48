#include "engine/image_crc.h"

#include <algorithm>

namespace vorlan {

namespace {

// The head and the EEPROM bytes, after the program bytes.
std::uint32_t TailCrc(const ImageDescriptor& image, std::uint32_t crc) {
    if (image.headData != nullptr && image.headLength > 0)
        crc = Crc32(image.headData, static_cast<std::size_t>(image.headLength), crc);
    if (image.eepromData != nullptr && image.eepromLength > 0)
        crc = Crc32(image.eepromData, static_cast<std::size_t>(image.eepromLength), crc);
    return crc;
}

}  // namespace

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
    return TailCrc(image, crc);
}

std::uint32_t SentImageCrc(const ImageDescriptor& image, const RunPlan& plan,
                           std::int32_t jumpLength, std::int32_t perAddress) {
    std::uint32_t crc = 0;
    const std::int32_t end = std::min(plan.sendLength, image.programLength);
    if (image.programData == nullptr || jumpLength < 0 || plan.blockSize < 1 || perAddress < 1)
        return TailCrc(image, crc);
    // Block by block as the programming run cuts them: a whole block inside
    // the skip window is not sent; the last one always is.
    for (std::int32_t start = 0; start < end; start += plan.blockSize) {
        const std::int32_t after = start + plan.blockSize;
        if (after < end && InSkipWindow(plan, after / perAddress))
            continue;
        const std::int32_t from = std::max(start, jumpLength);
        const std::int32_t to = std::min(after, end);
        if (to > from)
            crc = Crc32(image.programData + from, static_cast<std::size_t>(to - from), crc);
    }
    return TailCrc(image, crc);
}

}  // namespace vorlan
