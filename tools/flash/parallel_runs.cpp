#include "tools/flash/parallel_runs.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#include "platform/child_process.h"
#include "platform/console.h"
#include "tools/flash/json_line.h"
#include "tools/flash/run_log.h"
#include "tools/flash/single_run.h"
#include "tools/flash/terminal_pause.h"

namespace vorlan::flash {

namespace {

// How often the relay looks for a Ctrl-C to pass on while no line arrives.
constexpr auto kInterruptCheck = std::chrono::milliseconds(5);

struct ChildLine {
    std::size_t run = 0;
    ChildStream stream = ChildStream::kOutput;
    std::string text;
    bool end = false;  // the stream has ended; no text
};

// Lines from the reader threads to the relay, in the order they arrived.
class LineQueue {
public:
    void Push(ChildLine line) {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            lines_.push_back(std::move(line));
        }
        arrived_.notify_one();
    }
    // Everything queued, waiting up to timeout for the first line.
    std::deque<ChildLine> TakeAll(std::chrono::milliseconds timeout) {
        std::unique_lock<std::mutex> lock(mutex_);
        arrived_.wait_for(lock, timeout, [this] { return !lines_.empty(); });
        std::deque<ChildLine> taken;
        taken.swap(lines_);
        return taken;
    }

private:
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<ChildLine> lines_;
};

void ReadLines(ChildProcess& child, ChildStream stream, std::size_t run, LineQueue& queue) {
    std::string pending;
    char buffer[4096];
    for (std::size_t count; (count = child.ReadBlocking(stream, buffer, sizeof buffer)) > 0;) {
        pending.append(buffer, count);
        for (std::size_t end; (end = pending.find('\n')) != std::string::npos;) {
            queue.Push({run, stream, pending.substr(0, end), false});
            pending.erase(0, end + 1);
        }
    }
    if (!pending.empty())
        queue.Push({run, stream, pending, false});
    queue.Push({run, stream, "", true});
}

struct PortRun {
    std::string label;
    std::unique_ptr<ChildProcess> child;
    std::string startProblem;
    std::string lastLine;  // of its standard output: the result, once it has ended
    int exitStatus = kExitFailed;
};

// A loop ends with its tally, which also names the port.
bool EndedWithResult(const PortRun& run, bool json) {
    return json ? run.lastLine.rfind("{\"event\":\"result\"", 0) == 0 ||
                      run.lastLine.rfind("{\"event\":\"loop_end\"", 0) == 0 ||
                      run.lastLine.rfind("{\"event\":\"identify\"", 0) == 0
                : run.lastLine.rfind(run.label, 0) == 0;
}

// A run's own line that already starts with its port (its result) keeps it
// once.
bool NamesItsPort(const PortRun& run, const std::string& line) {
    return line.size() > run.label.size() && line.rfind(run.label, 0) == 0 &&
           (line[run.label.size()] == ' ' || line[run.label.size()] == ':');
}

std::string MissingResult(const PortRun& run) {
    if (!run.startProblem.empty())
        return "could not be started: " + run.startProblem;
    return "ended without a result (exit status " + std::to_string(run.exitStatus) + ")";
}

// The result of a run that printed none (it could not start, or crashed).
std::string MissingResultJson(const PortRun& run, const std::string& time = "") {
    JsonLine json;
    if (!time.empty())
        json.Text("time", time);
    return json.Text("event", "result")
        .Text("port", run.label)
        .Text("result", MissingResult(run))
        .Boolean("ok", false)
        .Integer("exit_status", run.exitStatus)
        .Object();
}

bool Programmed(int status) {
    return status == kExitSucceeded || status == kExitNotLogged;
}

// byPort: each run's last line is a port's tally or identification, not one
// board's result.
void PrintSummary(const std::vector<PortRun>& runs, bool json, bool byPort, double seconds,
                  int status) {
    int programmed = 0;
    for (const PortRun& run : runs) programmed += Programmed(run.exitStatus) ? 1 : 0;
    if (json) {
        std::string results;
        for (const PortRun& run : runs) {
            results += results.empty() ? "" : ",";
            results += EndedWithResult(run, true) ? run.lastLine : MissingResultJson(run);
        }
        std::printf("%s\n", JsonLine()
                                .Text("event", "summary")
                                .Integer("boards", static_cast<std::int64_t>(runs.size()))
                                .Integer("programmed", programmed)
                                .Decimal("seconds", seconds, 3)
                                .Integer("exit_status", status)
                                .Boolean("by_port", byPort)
                                .Raw("runs", "[" + results + "]")
                                .Object()
                                .c_str());
    } else {
        if (byPort) {
            std::printf("Summary of %zu ports (%.1f s):\n", runs.size(), seconds);
        } else {
            std::printf("Summary: %d of %zu boards programmed (%.1f s)\n", programmed, runs.size(),
                        seconds);
        }
        for (const PortRun& run : runs) {
            if (EndedWithResult(run, false)) {
                std::printf("  %s\n", run.lastLine.c_str());
            } else {
                std::printf("  %s: FAILED - %s\n", run.label.c_str(), MissingResult(run).c_str());
            }
        }
    }
    std::fflush(stdout);
}

}  // namespace

int CombinedExitStatus(const std::vector<int>& statuses) {
    int combined = kExitSucceeded;
    for (int status : statuses) {
        if (status == kExitStopped)
            return kExitStopped;
        if (!Programmed(status)) {
            combined = kExitFailed;
        } else if (status == kExitNotLogged && combined == kExitSucceeded) {
            combined = kExitNotLogged;
        }
    }
    return combined;
}

int RunOnEveryPort(const FlashArguments& arguments, const std::function<double()>& seconds) {
    const double start = seconds();
    InstallStopOnInterrupt();
    const std::string program = OwnProgramPath();
    std::vector<PortRun> runs(arguments.ports.size());
    LineQueue queue;
    std::vector<std::thread> readers;
    int streamsOpen = 0;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        PortRun& run = runs[i];
        run.label = arguments.ports[i].label;
        if (program.empty()) {
            run.startProblem = "this program's own path is unknown";
            continue;
        }
        run.child = StartChildProcess(program, SinglePortArguments(arguments, arguments.ports[i]),
                                      run.startProblem);
        if (!run.child)
            continue;
        for (ChildStream stream : {ChildStream::kOutput, ChildStream::kErrors}) {
            try {
                readers.emplace_back(ReadLines, std::ref(*run.child), stream, i, std::ref(queue));
                ++streamsOpen;
            } catch (const std::system_error& error) {
                // Out of threads: a run nobody follows must not go on.
                run.startProblem = std::string("its output cannot be read: ") + error.what();
                run.child->Interrupt();
            }
        }
    }

    const bool relayOutput = !arguments.quiet;
    while (streamsOpen > 0) {
        for (const ChildLine& line : queue.TakeAll(kInterruptCheck)) {
            PortRun& run = runs[line.run];
            if (line.end) {
                --streamsOpen;
            } else if (line.stream == ChildStream::kErrors) {
                std::fprintf(stderr, "%s: %s\n", run.label.c_str(), line.text.c_str());
            } else {
                run.lastLine = line.text;
                if (relayOutput && arguments.json) {
                    std::printf("%s\n", line.text.c_str());
                } else if (relayOutput && NamesItsPort(run, line.text)) {
                    std::printf("%s\n", line.text.c_str());
                } else if (relayOutput) {
                    std::printf("%s: %s\n", run.label.c_str(), line.text.c_str());
                }
                std::fflush(stdout);
            }
        }
        if (TakeConsoleInterruptWithOrigin() == ConsoleInterrupt::kSentHere) {
            for (PortRun& run : runs) {
                if (run.child)
                    run.child->Interrupt();
            }
        }
    }
    for (std::thread& reader : readers) reader.join();

    std::vector<int> statuses;
    for (PortRun& run : runs) {
        if (run.child)
            run.exitStatus = run.child->WaitForEnd();
        if (!run.startProblem.empty())
            run.exitStatus = kExitFailed;
        statuses.push_back(run.exitStatus);
        // Every run has its log line, also one that could not write its own.
        if (!arguments.logFile.empty() && !EndedWithResult(run, arguments.json)) {
            const std::string problem =
                AppendLogLine(arguments.logFile, MissingResultJson(run, UtcTimestamp()));
            if (!problem.empty()) {
                std::fprintf(stderr, "vorlan-flash: the result was not added to the log %s: %s\n",
                             arguments.logFile.c_str(), problem.c_str());
            }
        }
    }
    const int status = CombinedExitStatus(statuses);
    // A loop's or an identification's result is no one board programmed.
    PrintSummary(runs, arguments.json, arguments.loop || arguments.identify, seconds() - start,
                 status);
    return status;
}

}  // namespace vorlan::flash
