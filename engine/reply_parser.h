// Reply parser: turns the boot loader's bytes into flags, the identity and the
// information fields of the link state. The state persists across reads, so
// a frame may arrive split over any number of reads.
//
//   acknowledge    'K'
//   refusal        'N'
//   full identity  'V' bios chip board preparation 'K'
//   short identity chip 'K'                (while the identity is complete)
//   information    'R' L x data[L] 'K'     (only after a confirmed BIOS 8..31)
//                  data 0..23 release text, 24..25 skip start (LE),
//                  26..27 skip length (LE), 28.. counted, not stored.
//                  Only the first complete frame after 'V' is stored; later
//                  frames are read to their end (their bytes answer nothing)
//                  and dropped.
//
// During a search try the parser also reads the try's bytes as a whole
// (LinkState::search): only a well-formed identity answer finds the board,
// and it puts the parser back in step with that answer.
#pragma once

#include <cstdint>

namespace vorlan {

void ParseReplyByte(std::uint8_t byte);
void ParseReplyBytes(const std::uint8_t* bytes, std::int32_t count);

}  // namespace vorlan
