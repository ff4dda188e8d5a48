// Six stations appending to one log at the same moment: every line arrives
// whole and once, on Linux and (under wine) on Windows.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "platform/child_process.h"

namespace vorlan {
namespace {

TEST(SharedLog, StationsAppendingAtOnceLoseNoLine) {
    constexpr int kStations = 6;
    constexpr int kLines = 300;
    const std::filesystem::path own = OwnProgramPath();
    const std::filesystem::path writer =
        own.parent_path() / ("test_log_writer" + own.extension().string());
    if (!std::filesystem::exists(writer))
        GTEST_SKIP() << writer << " is not built";
    const std::filesystem::path log =
        std::filesystem::temp_directory_path() / ("vorlan-shared-log-" + own.stem().string());
    std::filesystem::remove(log);

    std::vector<std::unique_ptr<ChildProcess>> stations;
    for (int s = 0; s < kStations; ++s) {
        std::string error;
        stations.push_back(StartChildProcess(
            writer.string(), {log.string(), "station" + std::to_string(s), std::to_string(kLines)},
            error));
        ASSERT_TRUE(stations.back()) << error;
    }
    for (auto& station : stations) EXPECT_EQ(station->WaitForEnd(), 0);

    std::ifstream in(log, std::ios::binary);
    std::map<std::string, int> seen;
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        std::string name;
        int i = -1;
        std::string filler;
        std::string end;
        words >> name >> i >> filler >> end;
        ASSERT_TRUE(end == "end" && filler == std::string(300, static_cast<char>('a' + i % 26)))
            << "a torn line: " << line.substr(0, 80);
        ++seen[name + " " + std::to_string(i)];
    }
    EXPECT_EQ(seen.size(), static_cast<std::size_t>(kStations * kLines));
    for (const auto& [line, times] : seen) EXPECT_EQ(times, 1) << line;
    std::filesystem::remove(log);
}

}  // namespace
}  // namespace vorlan
