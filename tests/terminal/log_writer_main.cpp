// One station of the shared-log test: appends COUNT lines tagged with its
// NAME to FILE as fast as it can, through the log's own append.
#include <cstdlib>
#include <iostream>
#include <string>

#include "terminal/run_log.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: test_log_writer FILE NAME COUNT\n";
        return 2;
    }
    const int count = std::atoi(argv[3]);
    for (int i = 0; i < count; ++i) {
        // Long enough that a torn or overwritten line cannot pass for whole.
        const std::string line = std::string(argv[2]) + " " + std::to_string(i) + " " +
                                 std::string(300, static_cast<char>('a' + i % 26)) + " end";
        const std::string problem = vorlan::flash::AppendLogLine(argv[1], line);
        if (!problem.empty()) {
            std::cerr << problem << "\n";
            return 1;
        }
    }
    return 0;
}
