#include "terminal/trace_reader.h"

#include <cctype>
#include <fstream>
#include <sstream>

#include "engine/trace_text.h"

namespace vorlan::flash {

namespace {

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.back() == '\r' || text.back() == ' ')) text.remove_suffix(1);
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    return text;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    const int lower = std::tolower(static_cast<unsigned char>(c));
    return lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
}

bool ParseBytes(std::string_view text, std::vector<std::uint8_t>& bytes) {
    std::istringstream words{std::string(text)};
    std::string word;
    while (words >> word) {
        if (word.size() != 2 || HexDigit(word[0]) < 0 || HexDigit(word[1]) < 0)
            return false;
        bytes.push_back(static_cast<std::uint8_t>(HexDigit(word[0]) * 16 + HexDigit(word[1])));
    }
    return !bytes.empty();
}

// "<micros> tx|rx|event ...": false when the line is none of these.
bool ParseEntry(std::string_view line, TraceLine& entry) {
    std::size_t i = 0;
    if (line.empty() || !std::isdigit(static_cast<unsigned char>(line[0])))
        return false;
    std::int64_t micros = 0;
    for (; i < line.size() && std::isdigit(static_cast<unsigned char>(line[i])); ++i) {
        if (micros > (INT64_MAX - 9) / 10)
            return false;
        micros = micros * 10 + (line[i] - '0');
    }
    entry.micros = micros;
    const std::string_view rest = Trimmed(line.substr(i));
    const std::string_view tag = rest.substr(0, rest.find(' '));
    const std::string_view body = tag.size() < rest.size() ? rest.substr(tag.size() + 1) : "";
    if (tag == "tx" || tag == "rx") {
        entry.kind = tag == "tx" ? TraceLine::Kind::Sent : TraceLine::Kind::Received;
        return ParseBytes(body, entry.bytes);
    }
    if (tag != "event")
        return false;
    entry.kind = TraceLine::Kind::Event;
    entry.text = std::string(body);
    return true;
}

}  // namespace

std::string TraceFile::HeaderValue(const std::string& key) const {
    for (const auto& [name, value] : header) {
        if (name == key)
            return value;
    }
    return {};
}

bool ParseTrace(std::string_view text, TraceFile& trace) {
    trace = TraceFile{};
    bool first = true;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        if (end == std::string_view::npos) {
            trace.lastLineCut = true;  // a line without its end may be half of one
            break;
        }
        const std::string_view line = Trimmed(text.substr(0, end));
        text.remove_prefix(end + 1);
        if (first) {
            if (line != kTraceFirstLine)
                return false;
            first = false;
            continue;
        }
        if (line.rfind("# dropped ", 0) == 0) {
            trace.lines.push_back(
                TraceLine{TraceLine::Kind::Dropped, 0, {}, std::string(line.substr(2))});
        } else if (line.rfind("# ", 0) == 0) {
            const std::string_view field = line.substr(2);
            const std::size_t colon = field.find(": ");
            if (colon != std::string_view::npos) {
                trace.header.emplace_back(std::string(field.substr(0, colon)),
                                          std::string(field.substr(colon + 2)));
            }
        } else if (!line.empty()) {
            TraceLine entry;
            if (ParseEntry(line, entry)) {
                trace.hasResult =
                    entry.kind == TraceLine::Kind::Event && entry.text.rfind("result ", 0) == 0;
                trace.lines.push_back(std::move(entry));
            } else {
                ++trace.unreadable;
            }
        }
    }
    return !first;
}

bool ReadTraceFile(const std::string& path, TraceFile& trace, std::string& problem) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        problem = "cannot read " + path;
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    if (!ParseTrace(text.str(), trace)) {
        problem = path + " is not a vorlan trace (it does not start with \"" +
                  std::string(kTraceFirstLine) + "\")";
        return false;
    }
    return true;
}

}  // namespace vorlan::flash
