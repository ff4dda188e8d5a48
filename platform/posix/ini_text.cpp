#include "platform/posix/ini_text.h"

#include "platform/posix/ini_escapes.h"

namespace vorlan::ini {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// One logical line: [start, end) without its terminator. A quoted value or a
// backslash before the line end carries it on over several physical lines.
struct Line {
    std::size_t start = 0;
    std::size_t end = 0;
    std::size_t equals = std::string_view::npos;
};

// What QSettings skips before a line...
bool IsBlank(char ch) {
    return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n';
}

// ...and what it trims from keys and section names: a little more.
bool IsTrimmed(char ch) {
    return IsBlank(ch) || ch == '\f' || ch == '\v';
}

// The next logical line from pos on, skipping blank lines and comment lines
// (';' first on the line); a ';' outside quotes ends the line, and the rest
// is read as a comment line next time. Nothing when the text is used up.
std::optional<Line> NextLine(std::string_view text, std::size_t& pos) {
    for (;;) {
        while (pos < text.size() && IsBlank(text[pos])) ++pos;
        if (pos >= text.size())
            return std::nullopt;
        if (text[pos] != ';')
            break;
        while (pos < text.size() && text[pos] != '\n' && text[pos] != '\r') ++pos;
    }
    Line line;
    line.start = pos;
    bool inQuotes = false;
    std::size_t i = pos;
    while (i < text.size()) {
        const char ch = text[i];
        if ((ch == '\n' || ch == '\r') && !inQuotes)
            break;
        if (ch == ';' && !inQuotes)
            break;
        ++i;
        if (ch == '=' && line.equals == std::string_view::npos) {
            line.equals = i - 1;
        } else if (ch == '"') {
            inQuotes = !inQuotes;
        } else if (ch == '\\' && i < text.size()) {
            const char next = text[i++];
            // A line end escaped as a pair (CR LF or LF CR) counts as one.
            if (i < text.size() &&
                ((next == '\n' && text[i] == '\r') || (next == '\r' && text[i] == '\n'))) {
                ++i;
            }
        }
    }
    line.end = i;
    pos = i;
    return line;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char ch) { return ch >= 'A' && ch <= 'Z' ? ch - 'A' + 'a' : ch; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsTrimmed(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsTrimmed(text.back())) text.remove_suffix(1);
    return text;
}

// Where the top-level key and the [General] header are in a text.
struct Layout {
    std::optional<Line> lastKeyLine;
    std::optional<Line> generalHeader;
    std::size_t bodyStart = 0;  // after a byte order mark
};

Layout Scan(std::string_view file, std::string_view key) {
    Layout layout;
    if (file.substr(0, kByteOrderMark.size()) == kByteOrderMark)
        layout.bodyStart = kByteOrderMark.size();
    std::size_t pos = layout.bodyStart;
    bool topLevel = true;  // keys before any section are top-level
    while (const std::optional<Line> line = NextLine(file, pos)) {
        const std::string_view text = file.substr(line->start, line->end - line->start);
        if (text.front() == '[') {
            const std::size_t close = text.find(']');
            const std::string_view name =
                Trim(text.substr(1, close == std::string_view::npos ? text.npos : close - 1));
            topLevel = EqualsIgnoringCase(name, "general");
            if (topLevel && !layout.generalHeader)
                layout.generalHeader = line;
        } else if (topLevel && line->equals != std::string_view::npos) {
            const std::string_view rawKey =
                Trim(file.substr(line->start, line->equals - line->start));
            if (UnescapeKey(rawKey) == key)
                layout.lastKeyLine = line;
        }
    }
    return layout;
}

}  // namespace

std::optional<IniValue> FindTopLevelValue(std::string_view file, std::string_view key) {
    const Layout layout = Scan(file, key);
    if (!layout.lastKeyLine)
        return std::nullopt;
    const Line& line = *layout.lastKeyLine;
    return ReadValue(file.substr(line.equals + 1, line.end - line.equals - 1));
}

std::string WithTopLevelValue(std::string_view file, std::string_view key, std::string_view value) {
    const Layout layout = Scan(file, key);
    const std::string entry = EscapeKey(key) + "=" + EscapeValue(value);
    std::string result(file);
    if (layout.lastKeyLine) {
        // Blanks before a comment on the same line stay.
        std::size_t end = layout.lastKeyLine->end;
        while (end > layout.lastKeyLine->equals + 1 &&
               (file[end - 1] == ' ' || file[end - 1] == '\t'))
            --end;
        // QSettings reads blanks between a byte order mark and the first key
        // as part of the key's name; the line written loses them.
        std::size_t start = layout.lastKeyLine->start;
        if (layout.bodyStart > 0 &&
            file.substr(layout.bodyStart, start - layout.bodyStart).find_first_not_of(" \t\f\v") ==
                std::string_view::npos)
            start = layout.bodyStart;
        result.replace(start, end - start, entry);
    } else if (layout.generalHeader && layout.generalHeader->end < file.size()) {
        // The header's line ended (at a line end or a comment), so the new
        // line cannot fall into an open quote. A line end just before is an
        // escaped one; the new line's own must not pair with it.
        const std::size_t end = layout.generalHeader->end;
        const char* newLine = end > 0 && file[end - 1] == '\r' ? "\r" : "\n";
        result.insert(end, newLine + entry);
    } else {
        const bool empty = layout.bodyStart == file.size();
        result.insert(layout.bodyStart, "[General]\n" + entry + "\n" + (empty ? "" : "\n"));
    }
    return result;
}

}  // namespace vorlan::ini
