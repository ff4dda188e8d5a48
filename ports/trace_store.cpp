#include "ports/trace_store.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

#include "platform/trace_folder.h"

namespace vorlan {

namespace fs = std::filesystem;

namespace {

bool gProblemTold = false;

TraceSave Failed(std::string problem) {
    TraceSave save;
    save.problem = std::move(problem);
    save.tell = !gProblemTold;
    gProblemTold = true;
    return save;
}

// A port as part of a file name: "/dev/ttyUSB0" -> "ttyUSB0".
std::string NamePart(const std::string& portName) {
    std::string part = fs::path(portName).filename().string();
    for (char& c : part) {
        const bool plain = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') ||
                           (c >= 'a' && c <= 'z') || c == '-' || c == '_';
        if (!plain)
            c = '_';
    }
    return part.empty() ? "port" : part;
}

std::string UtcStamp() {
    using namespace std::chrono;
    const auto now = floor<seconds>(system_clock::now());
    const auto day = floor<days>(now);
    const year_month_day date(day);
    const hh_mm_ss time(now - day);
    char text[32] = {};
    std::snprintf(text, sizeof text, "%04d%02u%02u-%02d%02d%02d", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                  static_cast<int>(time.hours().count()), static_cast<int>(time.minutes().count()),
                  static_cast<int>(time.seconds().count()));
    return text;
}

bool IsSavedTrace(const fs::directory_entry& entry) {
    const std::string name = entry.path().filename().string();
    return entry.is_regular_file() && name.rfind("vorlan-", 0) == 0 &&
           entry.path().extension() == ".trace";
}

// Other processes may save and prune the same folder at once: what is gone
// is gone, and nothing here fails the run.
void KeepNewest(const fs::path& folder, int keep) {
    std::error_code error;
    std::vector<std::pair<fs::file_time_type, fs::path>> traces;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
        if (IsSavedTrace(entry))
            traces.emplace_back(entry.last_write_time(error), entry.path());
    }
    if (static_cast<int>(traces.size()) <= keep)
        return;
    std::sort(traces.begin(), traces.end());
    const std::size_t surplus = traces.size() - static_cast<std::size_t>(keep);
    for (std::size_t i = 0; i < surplus; ++i) fs::remove(traces[i].second, error);
}

}  // namespace

TraceSave WriteTraceFile(const std::string& path, const std::string& text) {
    std::error_code error;
    const fs::path file(path);
    if (file.has_parent_path())
        fs::create_directories(file.parent_path(), error);
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out)
        return Failed("the trace could not be written to " + path);
    TraceSave save;
    save.path = path;
    return save;
}

TraceSave SaveRunTrace(const std::string& text, const std::string& portName, int boardNumber,
                       std::string folder, int keep) {
    if (folder.empty())
        folder = TraceFolder();
    if (folder.empty())
        return Failed("no folder for traces (no home folder is known)");
    std::string stem = "vorlan-" + UtcStamp() + "-" + NamePart(portName);
    if (boardNumber > 0)
        stem += "-" + std::to_string(boardNumber);
    fs::path file = fs::path(folder) / (stem + ".trace");
    std::error_code error;
    for (int n = 2; fs::exists(file, error); ++n)
        file = fs::path(folder) / (stem + "." + std::to_string(n) + ".trace");
    TraceSave save = WriteTraceFile(file.string(), text);
    if (!save.path.empty())
        KeepNewest(folder, keep);
    return save;
}

std::string TraceFileOf(const std::string& file, const std::string& portName, int boardNumber) {
    const fs::path path(file);
    std::string name = path.stem().string() + "-" + NamePart(portName);
    if (boardNumber > 0)
        name += "-" + std::to_string(boardNumber);
    return (path.parent_path() / (name + path.extension().string())).string();
}

}  // namespace vorlan
