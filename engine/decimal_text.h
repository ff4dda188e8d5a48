// The leading decimal number of a text, read as the C library's atoi reads
// it: leading white space skipped, an optional sign, then digits up to the
// first other character. No digits read as 0. Texts come from settings files
// and window lists, so any length of digits is read without overflow.
#pragma once

#include <cstdint>
#include <string_view>

namespace vorlan {

struct LeadingDecimal {
    bool negative = false;
    // The magnitude modulo 2^64: its low bits are exact for any length.
    std::uint64_t lowBits = 0;
    // The magnitude, saturated at the ceiling ReadLeadingDecimal was given.
    std::int64_t saturated = 0;
    bool hasDigits = false;

    // The signed number kept to its low 16 bits (two's complement).
    std::int16_t Low16() const;
    // The signed number, saturated.
    std::int64_t Saturated() const { return negative ? -saturated : saturated; }
};

LeadingDecimal ReadLeadingDecimal(std::string_view text, std::int64_t ceiling = 1'000'000);

}  // namespace vorlan
