// The CRC-32 of the firmware a run sends, for the result line, the JSON and
// the log: a line's record of what went into each board. The usual CRC-32
// (reflected polynomial 0xEDB88320, start and final xor 0xFFFFFFFF: the one
// of zip, PNG and `crc32` of Linux), over the program bytes after the
// boot-loader jump up to the length sent, then the head, then the EEPROM
// bytes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "catalogue/image_table.h"
#include "engine/run_plan.h"

namespace vorlan {

// crc: the value so far (0 to start), to go on over several pieces.
std::uint32_t Crc32(const std::uint8_t* bytes, std::size_t count, std::uint32_t crc = 0);

// The whole firmware as the run planned it: sendLength and jumpLength in
// image bytes.
std::uint32_t ImageCrc(const ImageDescriptor& image, std::int32_t sendLength,
                       std::int32_t jumpLength);

// What the run writes: the same, without the program blocks that the board's
// skip window leaves out. perAddress: image bytes per address unit.
std::uint32_t SentImageCrc(const ImageDescriptor& image, const RunPlan& plan,
                           std::int32_t jumpLength, std::int32_t perAddress);

}  // namespace vorlan
