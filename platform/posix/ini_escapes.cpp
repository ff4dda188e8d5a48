#include "platform/posix/ini_escapes.h"

#include <array>
#include <cstdint>
#include <utility>

namespace vorlan::ini {

namespace {

void AppendUtf8(std::string& out, std::uint32_t code) {
    if (code >= 0xD800 && code <= 0xDFFF)
        code = 0xFFFD;  // half of a pair on its own
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

bool IsHighSurrogate(std::uint32_t code) {
    return code >= 0xD800 && code <= 0xDBFF;
}
bool IsLowSurrogate(std::uint32_t code) {
    return code >= 0xDC00 && code <= 0xDFFF;
}

int HexDigit(char ch) {
    if (ch >= '0' && ch <= '9')
        return ch - '0';
    if (ch >= 'a' && ch <= 'f')
        return ch - 'a' + 10;
    if (ch >= 'A' && ch <= 'F')
        return ch - 'A' + 10;
    return -1;
}

void ChopTrailingSpaces(std::string& text, std::size_t limit) {
    while (text.size() > limit && (text.back() == ' ' || text.back() == '\t')) text.pop_back();
}

struct Unescaped {
    bool isList = false;
    std::string text;  // the one string when not a list
};

// A value as written: double quotes keep blanks and commas, backslash escapes
// (\n, \x41, \101, ...) stand for one character, a comma outside quotes makes
// a list, and blanks around an unquoted string are dropped.
Unescaped UnescapeValue(std::string_view raw) {
    static constexpr std::array<std::array<char, 2>, 11> kEscapes{{{'a', '\a'},
                                                                   {'b', '\b'},
                                                                   {'f', '\f'},
                                                                   {'n', '\n'},
                                                                   {'r', '\r'},
                                                                   {'t', '\t'},
                                                                   {'v', '\v'},
                                                                   {'"', '"'},
                                                                   {'?', '?'},
                                                                   {'\'', '\''},
                                                                   {'\\', '\\'}}};
    Unescaped result;
    std::string current;
    bool inQuotes = false;
    bool quoted = false;
    std::size_t i = 0;
    auto skipSpaces = [&] {
        while (i < raw.size() && (raw[i] == ' ' || raw[i] == '\t')) ++i;
    };
    skipSpaces();
    std::size_t chopLimit = 0;
    // Qt 5 wrote characters outside the BMP as two escapes, \xd83d\xde00.
    std::uint32_t pendingHigh = 0;
    const auto flushHigh = [&] {
        if (pendingHigh != 0)
            AppendUtf8(current, pendingHigh);
        pendingHigh = 0;
    };
    while (i < raw.size()) {
        const char ch = raw[i];
        const bool escapedNumber =
            ch == '\\' && i + 1 < raw.size() &&
            ((raw[i + 1] == 'x' && i + 2 < raw.size() && HexDigit(raw[i + 2]) >= 0) ||
             (raw[i + 1] >= '0' && raw[i + 1] <= '7'));
        if (!escapedNumber)
            flushHigh();
        if (ch == '\\') {
            // A lone backslash at the very end: the blanks before it stay.
            if (++i >= raw.size()) {
                result.text = std::move(current);
                return result;
            }
            const char code = raw[i++];
            bool named = false;
            for (const auto& escape : kEscapes) {
                if (code == escape[0]) {
                    current += escape[1];
                    named = true;
                    break;
                }
            }
            const bool hex = code == 'x' && i < raw.size() && HexDigit(raw[i]) >= 0;
            if (named) {
                // done: an escaped blank stays, even at the end
            } else if (hex || (code >= '0' && code <= '7')) {
                // As many digits as follow; the value is one 16-bit character.
                std::uint16_t value = hex ? 0 : static_cast<std::uint16_t>(code - '0');
                const int base = hex ? 16 : 8;
                for (; i < raw.size(); ++i) {
                    const int digit = HexDigit(raw[i]);
                    if (digit < 0 || digit >= base)
                        break;
                    value = static_cast<std::uint16_t>(value * base + digit);
                }
                if (pendingHigh != 0 && IsLowSurrogate(value)) {
                    AppendUtf8(current,
                               0x10000 + ((pendingHigh - 0xD800) << 10) + (value - 0xDC00));
                    pendingHigh = 0;
                } else {
                    flushHigh();
                    if (IsHighSurrogate(value))
                        pendingHigh = value;
                    else
                        AppendUtf8(current, value);
                }
            } else if (static_cast<unsigned char>(code) >= 0x80) {
                // Only the first byte of a character is skipped; as Qt does,
                // the rest of it is read as broken UTF-8.
                while (i < raw.size() && (static_cast<unsigned char>(raw[i]) & 0xC0) == 0x80) {
                    AppendUtf8(current, 0xFFFD);
                    ++i;
                }
            } else if ((code == '\n' || code == '\r') && i < raw.size() &&
                       (raw[i] == '\n' || raw[i] == '\r') && raw[i] != code) {
                ++i;  // a line end escaped as a pair counts as one
            }
            chopLimit = current.size();
        } else if (ch == '"') {
            ++i;
            quoted = true;
            inQuotes = !inQuotes;
            if (!inQuotes)
                skipSpaces();
        } else if (ch == ',' && !inQuotes) {
            result.isList = true;
            current.clear();
            quoted = false;
            chopLimit = 0;
            ++i;
            skipSpaces();
        } else {
            current += ch;
            ++i;
        }
    }
    flushHigh();
    if (!quoted)
        ChopTrailingSpaces(current, chopLimit);
    result.text = std::move(current);
    return result;
}

bool StartsWith(std::string_view text, std::string_view start) {
    return text.substr(0, start.size()) == start;
}

// What a string turns into once read: "@" starts the values stored with a
// type of their own; "@@" stands for a string that begins with "@".
IniValue ToValue(std::string text) {
    if (StartsWith(text, "@") && text.back() == ')') {
        for (std::string_view typed :
             {"@ByteArray(", "@Variant(", "@DateTime(", "@Rect(", "@Size(", "@Point("}) {
            if (StartsWith(text, typed))
                return {ValueKind::kOtherType, {}};
        }
        if (StartsWith(text, "@String("))
            return {ValueKind::kText, text.substr(8, text.size() - 9)};
        if (text == "@Invalid()")
            return {ValueKind::kInvalid, {}};
    }
    if (StartsWith(text, "@@"))
        text.erase(0, 1);
    return {ValueKind::kText, std::move(text)};
}

}  // namespace

std::string UnescapeKey(std::string_view raw) {
    std::string key;
    std::size_t i = 0;
    while (i < raw.size()) {
        const char ch = raw[i];
        if (ch == '\\') {
            key += '/';
            ++i;
            continue;
        }
        const std::size_t first = i + 1 + (i + 1 < raw.size() && raw[i + 1] == 'U' ? 1 : 0);
        const std::size_t digits = first == i + 2 ? 4 : 2;
        std::uint32_t code = 0;
        bool escape = ch == '%' && first + digits <= raw.size();
        for (std::size_t d = 0; escape && d < digits; ++d) {
            const int value = HexDigit(raw[first + d]);
            escape = value >= 0;
            code = code * 16 + static_cast<std::uint32_t>(value);
        }
        if (escape) {
            AppendUtf8(key, code);
            i = first + digits;
        } else {
            AppendUtf8(key, static_cast<unsigned char>(ch));
            ++i;
        }
    }
    return key;
}

std::string EscapeKey(std::string_view key) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string escaped;
    for (const char ch : key) {
        const auto byte = static_cast<unsigned char>(ch);
        if ((ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') ||
            ch == '_' || ch == '-' || ch == '.') {
            escaped += ch;
        } else if (ch == '/') {
            escaped += '\\';
        } else {
            escaped += '%';
            escaped += kHex[byte >> 4];
            escaped += kHex[byte & 0xF];
        }
    }
    return escaped;
}

// A string written so that UnescapeValue gives it back: control characters
// escaped, quotes around text with ';', ',' or '=' or with a blank at either
// end, and a leading '@' doubled.
std::string EscapeValue(std::string_view value) {
    static constexpr char kHex[] = "0123456789abcdef";
    const std::string text = StartsWith(value, "@") ? "@" + std::string(value) : std::string(value);
    std::string escaped;
    bool needsQuotes = false;
    bool escapeNextIfHexDigit = false;  // after \0 or \xNN, which would swallow it
    for (const char ch : text) {
        const auto byte = static_cast<unsigned char>(ch);
        if (ch == ';' || ch == ',' || ch == '=')
            needsQuotes = true;
        if (escapeNextIfHexDigit && HexDigit(ch) >= 0) {
            escaped += "\\x";
            escaped += kHex[byte >> 4];
            escaped += kHex[byte & 0xF];
            continue;
        }
        escapeNextIfHexDigit = false;
        switch (ch) {
            case '\0':
                escaped += "\\0";
                escapeNextIfHexDigit = true;
                break;
            case '\a':
                escaped += "\\a";
                break;
            case '\b':
                escaped += "\\b";
                break;
            case '\f':
                escaped += "\\f";
                break;
            case '\n':
                escaped += "\\n";
                break;
            case '\r':
                escaped += "\\r";
                break;
            case '\t':
                escaped += "\\t";
                break;
            case '\v':
                escaped += "\\v";
                break;
            case '"':
            case '\\':
                escaped += '\\';
                escaped += ch;
                break;
            default:
                if (byte <= 0x1F) {
                    escaped += "\\x";
                    if (byte > 0xF)
                        escaped += kHex[byte >> 4];
                    escaped += kHex[byte & 0xF];
                    escapeNextIfHexDigit = true;
                } else {
                    escaped += ch;
                }
        }
    }
    if (needsQuotes || (!escaped.empty() && (escaped.front() == ' ' || escaped.back() == ' ')))
        escaped = '"' + escaped + '"';
    return escaped;
}

IniValue ReadValue(std::string_view raw) {
    Unescaped value = UnescapeValue(raw);
    if (value.isList)
        return {ValueKind::kOtherType, {}};
    return ToValue(std::move(value.text));
}

}  // namespace vorlan::ini
