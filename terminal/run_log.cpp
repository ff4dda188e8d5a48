#include "terminal/run_log.h"

#include <chrono>
#include <cstdio>

#include "platform/append_file.h"

namespace vorlan::flash {

std::string AppendLogLine(const std::string& path, const std::string& line) {
    return AppendToFile(path, line + "\n");
}

std::string LogProblem(const std::string& path) {
    if (path.empty())
        return "";
    const std::string problem = AppendToFile(path, "");
    return problem.empty() ? "" : "the log " + path + " cannot be written: " + problem;
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
