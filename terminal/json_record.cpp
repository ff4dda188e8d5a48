#include "terminal/json_record.h"

#include <cmath>
#include <cstdint>

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

std::string JsonText(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size());
    for (std::size_t at = 0; at < bytes.size();) {
        const auto c = static_cast<unsigned char>(bytes[at]);
        if (c < 0x80) {
            text += static_cast<char>(c);
            ++at;
        } else if (const std::size_t length = Utf8SequenceLength(bytes, at); length > 0) {
            text.append(bytes.substr(at, length));
            at += length;
        } else {
            text += static_cast<char>(0xC0 | (c >> 6));
            text += static_cast<char>(0x80 | (c & 0x3F));
            ++at;
        }
    }
    return text;
}

JsonRecord JsonSeconds(double seconds) {
    if (!std::isfinite(seconds))
        return nullptr;
    return std::round(seconds * 1000.0) / 1000.0;
}

std::string OneLine(const JsonRecord& record) {
    return record.dump();
}

std::string LineRecord(const std::string& text, bool result) {
    JsonRecord record;
    record["event"] = "line";
    record["result"] = result;
    record["text"] = JsonText(text);
    return OneLine(record);
}

}  // namespace vorlan::flash
