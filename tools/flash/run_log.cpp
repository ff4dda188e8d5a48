#include "tools/flash/run_log.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

namespace vorlan::flash {

std::string AppendLogLine(const std::string& path, const std::string& line) {
    std::FILE* file = std::fopen(path.c_str(), "a");
    if (file == nullptr)
        return std::strerror(errno);
    // Unbuffered: the whole line reaches the system in one write, which
    // appending puts at the end as one piece.
    std::setvbuf(file, nullptr, _IONBF, 0);
    const std::string text = line + "\n";
    std::string problem;
    if (std::fwrite(text.data(), 1, text.size(), file) != text.size())
        problem = std::strerror(errno);
    if (std::fclose(file) != 0 && problem.empty())
        problem = std::strerror(errno);
    return problem;
}

std::string LogProblem(const std::string& path) {
    if (path.empty())
        return "";
    std::FILE* file = std::fopen(path.c_str(), "a");
    if (file == nullptr)
        return "the log " + path + " cannot be written: " + std::strerror(errno);
    std::fclose(file);
    return "";
}

std::string UtcTimestamp() {
    using namespace std::chrono;
    const auto now = floor<milliseconds>(system_clock::now());
    const auto day = floor<days>(now);
    const year_month_day date{day};
    const hh_mm_ss time{now - day};
    char text[40];
    std::snprintf(
        text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02d.%03dZ", static_cast<int>(date.year()),
        static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
        static_cast<int>(time.hours().count()), static_cast<int>(time.minutes().count()),
        static_cast<int>(time.seconds().count()), static_cast<int>(time.subseconds().count()));
    return text;
}

}  // namespace vorlan::flash
