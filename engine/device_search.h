// Finding the boot loader: up to 100 search bytes, 100 ms apart.
#pragma once

#include <cstdint>

#include "engine/views.h"

namespace vorlan {

inline constexpr std::int16_t kSearchFound = 0;
inline constexpr std::int16_t kSearchPortUnusable = -1;
inline constexpr std::int16_t kSearchNotFound = -2;
inline constexpr std::int16_t kSearchStopped = -3;
inline constexpr int kSearchTries = 100;

// The byte the search sends: 0xC5 in Upgrade mode, else 0xC2.
std::uint8_t SearchByte();

// Blocks in pauses for up to 100 tries of 100 ms. On 0 the confirmed identity
// holds the boot loader's answer and the port stays open.
std::int16_t SearchDevice(ProgressBarView& progress, StatusBarView& status);

}  // namespace vorlan
