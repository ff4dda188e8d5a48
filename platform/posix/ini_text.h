// The ini text in which settings are kept on Linux, read and written the way
// Qt's QSettings reads and writes its IniFormat files, so that files written
// by either are read the same by both. Only top-level keys are handled: those
// of the section [General] (any case) and those before the first section.
// Text work only; the files themselves are in settings_store.cpp.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vorlan::ini {

enum class ValueKind {
    kText,       // a plain string (with its escapes undone)
    kOtherType,  // a list, or a value stored with a type of its own (@Variant(...))
    kInvalid,    // "@Invalid()": present, but no value
};

struct IniValue {
    ValueKind kind = ValueKind::kText;
    std::string text;  // UTF-8; kText only
};

// The value of the top-level key, the last one when it appears twice;
// nothing when the text has no such key.
std::optional<IniValue> FindTopLevelValue(std::string_view file, std::string_view key);

// The text with the top-level key set to value: the key's last line is
// replaced, or the key is added to [General] (which is added when missing).
// Every other byte stays as it was, comments included.
std::string WithTopLevelValue(std::string_view file, std::string_view key, std::string_view value);

}  // namespace vorlan::ini
