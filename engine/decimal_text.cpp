#include "engine/decimal_text.h"

namespace vorlan {

namespace {

bool IsSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

}  // namespace

std::int16_t LeadingDecimal::Low16() const {
    std::uint32_t value = static_cast<std::uint32_t>(lowBits & 0xFFFFU);
    if (negative)
        value = (0x10000U - value) & 0xFFFFU;
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(value));
}

LeadingDecimal ReadLeadingDecimal(std::string_view text, std::int64_t ceiling) {
    LeadingDecimal number;
    std::size_t at = 0;
    while (at < text.size() && IsSpace(text[at])) ++at;
    if (at < text.size() && (text[at] == '-' || text[at] == '+')) {
        number.negative = text[at] == '-';
        ++at;
    }
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        const auto digit = static_cast<std::uint64_t>(text[at] - '0');
        number.hasDigits = true;
        number.lowBits = number.lowBits * 10U + digit;  // wraps modulo 2^64 by design
        if (number.saturated < ceiling) {
            number.saturated = number.saturated * 10 + static_cast<std::int64_t>(digit);
            if (number.saturated > ceiling)
                number.saturated = ceiling;
        }
    }
    return number;
}

}  // namespace vorlan
