#include "tools/flash/json_line.h"

#include <cmath>
#include <cstdio>

namespace vorlan::flash {

namespace {

// Length of the valid UTF-8 sequence at text[at] of two or more bytes, or 0.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    std::size_t length = 0;
    std::uint32_t code = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07u;
    } else {
        return 0;
    }
    if (at + length > text.size())
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (byte(at + i) & 0x3Fu);
    }
    // Overlong forms, surrogates and code points past U+10FFFF are not UTF-8.
    const std::uint32_t lowest = length == 3 ? 0x800 : 0x10000;
    if ((length > 2 && code < lowest) || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF)
        return 0;
    return length;
}

}  // namespace

std::string JsonQuoted(std::string_view text) {
    std::string quoted = "\"";
    for (std::size_t at = 0; at < text.size();) {
        const auto c = static_cast<unsigned char>(text[at]);
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += static_cast<char>(c);
        } else if (c >= 0x20 && c < 0x7F) {
            quoted += static_cast<char>(c);
        } else if (const std::size_t length = c >= 0x80 ? Utf8SequenceLength(text, at) : 0;
                   length > 0) {
            quoted.append(text.substr(at, length));
            at += length;
            continue;
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
            quoted += escaped;
        }
        ++at;
    }
    return quoted + "\"";
}

JsonLine& JsonLine::Field(std::string_view key, std::string_view json) {
    if (!fields_.empty())
        fields_ += ',';
    fields_ += JsonQuoted(key);
    fields_ += ':';
    fields_ += json;
    return *this;
}

JsonLine& JsonLine::Text(std::string_view key, std::string_view value) {
    return Field(key, JsonQuoted(value));
}

JsonLine& JsonLine::Integer(std::string_view key, std::int64_t value) {
    return Field(key, std::to_string(value));
}

JsonLine& JsonLine::Decimal(std::string_view key, double value, int decimals) {
    // JSON has no NaN or infinity.
    if (!std::isfinite(value))
        return Field(key, "null");
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return Field(key, text);
}

JsonLine& JsonLine::Boolean(std::string_view key, bool value) {
    return Field(key, value ? "true" : "false");
}

JsonLine& JsonLine::Raw(std::string_view key, std::string_view value) {
    return Field(key, value);
}

}  // namespace vorlan::flash
