// One JSON object on one line, for vorlan-flash's --json and --log output.
// Texts are escaped so that any bytes (a board's release text is whatever the
// board sends) give valid JSON: valid UTF-8 passes through, every other byte
// above 0x7F is written as the Latin-1 character of that value.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vorlan::flash {

// text as a JSON string, quotes included.
std::string JsonQuoted(std::string_view text);

class JsonLine {
public:
    JsonLine& Text(std::string_view key, std::string_view value);
    JsonLine& Integer(std::string_view key, std::int64_t value);
    // value with the given number of decimals.
    JsonLine& Decimal(std::string_view key, double value, int decimals);
    JsonLine& Boolean(std::string_view key, bool value);
    // value is already JSON (an object or array built elsewhere).
    JsonLine& Raw(std::string_view key, std::string_view value);

    // The object, "{...}", without a line end.
    std::string Object() const { return "{" + fields_ + "}"; }

private:
    JsonLine& Field(std::string_view key, std::string_view json);
    std::string fields_;
};

}  // namespace vorlan::flash
