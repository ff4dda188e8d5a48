// The second phase of ProgramDevice: writes the accepted image into the board.
//
// Order on the line: 0xCC (boot loaders with the full identity answer and a
// BIOS byte of 5 or more), the program blocks in ascending address order (the
// first carries the boot-loader jump), the last block, the head block at
// programLimit, then the EEPROM bytes. After a 0xCC left unanswered for its
// 2 s the first block goes out twice, the second time once its own time has
// passed. Every frame must be acknowledged, and an identity answer is no
// acknowledgement; the first failure is reported and ends the run. Blocks in
// pauses; UI thread.
//
// Program and head block frame (checksum appended by SendCommand):
//
//   0        1        2        3           3 or 4     4 or 5 ...
//   +--------+--------+--------+-----------+----------+--------------+
//   | A23-16 | A15-8  | A7-0   | count     | [count]  | data (count) |
//   +--------+--------+--------+-----------+----------+--------------+
//   address in program address units (image byte offset / bytesPerAddress);
//   count is one byte for blocks of up to 255 bytes, else two, MSB first.
//   The head block is always blockSize bytes: 0xFF with the head bytes last.
//
// EEPROM byte frame:  0x40 | address (index AND 0xFF) | value | 0x01 | 0x00
#pragma once

#include <cstdint>

#include "catalogue/chip_family.h"
#include "catalogue/image_table.h"
#include "engine/run_plan.h"
#include "engine/views.h"

namespace vorlan {

// Bytes of the frame buffer; every frame and its checksum fit in it.
inline constexpr std::int32_t kFrameBufferSize = 300;

// true when a plan's frames fit the frame buffer and the image holds every
// byte the plan sends.
bool PlanFitsImage(const RunPlan& plan, const ImageDescriptor& image,
                   const FamilyParameters& family);

// Runs the programming phase for an accepted board and reports the outcome
// (" Program Ok ", "Program OK" in Upgrade mode, or the failure). The first
// jumpBlockLength bytes of image.programData are replaced by the jump block
// and stay so. A plan that does not fit is refused with " Error !! " before
// anything is sent. true only when every frame was acknowledged.
bool RunProgramming(ProgressBarView& progress, StatusBarView& status, ImageDescriptor& image,
                    const RunPlan& plan, const FamilyParameters& family);

}  // namespace vorlan
