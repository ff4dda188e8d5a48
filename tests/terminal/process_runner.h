// Starting vorlan-board and vorlan-flash as child processes for the terminal
// tests: each child gets its own environment additions, its output in files,
// and a deadline after which it is killed, so no test can hang.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vorlan::terminal_test {

// A fresh folder under the system's temporary folder, removed with everything
// in it when the object goes.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

std::string ReadFile(const std::filesystem::path& path);

class ChildProcess {
public:
    // Starts program with arguments; stdin is /dev/null, stdout and stderr go
    // to the given files. environment entries are added to (or replace) the
    // test's own environment.
    ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                 const std::map<std::string, std::string>& environment,
                 const std::filesystem::path& stdoutFile, const std::filesystem::path& stderrFile);
    // Kills a child still running.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return pid_ > 0; }
    void Signal(int signalNumber) const;
    // Exit status, or -signal when it was ended by a signal; empty when it
    // was still running at the deadline (it is then killed).
    std::optional<int> Wait(std::chrono::milliseconds timeout);

private:
    pid_t pid_ = -1;
    std::optional<int> status_;
};

// Waits until the file holds text (true) or the time is up (false).
bool WaitForText(const std::filesystem::path& file, const std::string& text,
                 std::chrono::milliseconds timeout);

}  // namespace vorlan::terminal_test
