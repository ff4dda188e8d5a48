// How keys and values are written in the settings ini text, as QSettings
// writes them: the escapes, the quotes and the "@" marks of typed values.
#pragma once

#include <string>
#include <string_view>

#include "platform/posix/ini_text.h"

namespace vorlan::ini {

// A key as written: '\' stands for '/', %XX and %UXXXX for one character
// each; any other byte is a Latin-1 character. UTF-8 out.
std::string UnescapeKey(std::string_view raw);
std::string EscapeKey(std::string_view key);

// What the text after '=' holds: a string, a list or a typed value.
IniValue ReadValue(std::string_view raw);
// The text after '=' that ReadValue reads back as the string value.
std::string EscapeValue(std::string_view value);

}  // namespace vorlan::ini
