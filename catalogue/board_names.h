// Names of boards, connectors and features, indexed by board code and by the
// feature bits (preparation AND 0x6F).
#pragma once

#include <cstdint>
#include <string>

namespace vorlan {

inline constexpr std::int8_t kBoardNameCount = 25;
inline constexpr std::int8_t kFeatureNameCount = 11;

extern const char* const BoardNames[25];
extern const char* const ConnectorNames[25];
extern const char* const FeatureNames[11];

// Row code for 0 < code < 25, else row 2.
std::string BoardNameOf(std::int32_t boardCode);

}  // namespace vorlan
