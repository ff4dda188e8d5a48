// Arbitrary bytes as a settings file and as the value written into it. The
// first byte says how many of the next bytes are the value; the rest is the
// file. Reading never fails, and after a write the key reads back as the
// value written while every other top-level key keeps its value.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "platform/posix/ini_text.h"

namespace {

bool SameValue(const std::optional<vorlan::ini::IniValue>& a,
               const std::optional<vorlan::ini::IniValue>& b) {
    if (!a || !b)
        return !a && !b;
    return a->kind == b->kind && a->text == b->text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::string_view value = input.substr(0, data[0]);
    const std::string_view file = input.substr(value.size());

    const std::string written = vorlan::ini::WithTopLevelValue(file, "com", value);
    const auto read = vorlan::ini::FindTopLevelValue(written, "com");
    FUZZ_CHECK(read && read->kind == vorlan::ini::ValueKind::kText && read->text == value);
    for (std::string_view other : {"other", "General/com", "x"}) {
        FUZZ_CHECK(SameValue(vorlan::ini::FindTopLevelValue(file, other),
                             vorlan::ini::FindTopLevelValue(written, other)));
    }
    return 0;
}
