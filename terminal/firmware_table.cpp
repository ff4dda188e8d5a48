#include "terminal/firmware_table.h"

#include <algorithm>

namespace vorlan::flash {

namespace {

constexpr const char* kSeparator = " - ";

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    return first == std::string::npos ? ""
                                      : text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The first two separators split a line into its three columns; anything
// after them stays in the last (a board name may hold " - " itself only
// there).
std::vector<std::string> Columns(const std::string& line) {
    std::vector<std::string> columns;
    std::size_t start = 0;
    for (int i = 0; i < 2; ++i) {
        const std::size_t end = line.find(kSeparator, start);
        if (end == std::string::npos)
            break;
        columns.push_back(Trimmed(line.substr(start, end - start)));
        start = end + 3;
    }
    columns.push_back(Trimmed(line.substr(start)));
    return columns;
}

}  // namespace

std::vector<std::string> FirmwareTable(const std::vector<std::string>& versionLines) {
    std::vector<std::vector<std::string>> rows;
    for (std::size_t i = 0; i < versionLines.size(); ++i) {
        if (i != 1)  // the window's own rule
            rows.push_back(Columns(versionLines[i]));
    }
    std::vector<std::size_t> widths;
    for (const auto& row : rows) {
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (widths.size() <= c)
                widths.push_back(0);
            widths[c] = std::max(widths[c], row[c].size());
        }
    }
    std::vector<std::string> table;
    std::size_t ruleWidth = 0;
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t c = 0; c < row.size(); ++c) {
            line += row[c];
            if (c + 1 < row.size())
                line += std::string(widths[c] - row[c].size() + 2, ' ');
        }
        ruleWidth = std::max(ruleWidth, line.size());
        table.push_back(line);
    }
    if (!table.empty())
        table.insert(table.begin() + 1, std::string(ruleWidth, '-'));
    return table;
}

}  // namespace vorlan::flash
