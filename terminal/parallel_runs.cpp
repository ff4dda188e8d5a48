#include "terminal/parallel_runs.h"

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
#include "terminal/json_record.h"
#include "terminal/run_log.h"
#include "terminal/single_run.h"
#include "terminal/terminal_pause.h"

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

// A run on Windows ends its lines with CR LF; this program's own output adds
// the CR again where the system wants one.
std::string WithoutLineEnd(std::string line) {
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

void ReadLines(ChildProcess& child, ChildStream stream, std::size_t run, LineQueue& queue) {
    std::string pending;
    char buffer[4096];
    for (std::size_t count; (count = child.ReadBlocking(stream, buffer, sizeof buffer)) > 0;) {
        pending.append(buffer, count);
        for (std::size_t end; (end = pending.find('\n')) != std::string::npos;) {
            queue.Push({run, stream, WithoutLineEnd(pending.substr(0, end)), false});
            pending.erase(0, end + 1);
        }
    }
    if (!pending.empty())
        queue.Push({run, stream, WithoutLineEnd(pending), false});
    queue.Push({run, stream, "", true});
}

struct PortRun {
    std::string label;
    std::unique_ptr<ChildProcess> child;
    std::string startProblem;
    // Its last record: the result once it has ended (a loop ends with its
    // tally, an identification with the board).
    JsonRecord last;
    int exitStatus = kExitFailed;
};

// The run's result, identification or tally: a text line marked so, or one
// of the JSON objects that end a run.
bool IsResult(const JsonRecord& record) {
    const std::string event = record.value("event", "");
    if (event == "line")
        return record.value("result", false);
    return event == "result" || event == "loop_end" || event == "identify";
}

bool EndedWithResult(const PortRun& run) {
    return run.last.is_object() && IsResult(run.last);
}

// How a record is shown to a person: a text line of the run's, the run's own
// result line naming its port already.
std::string TextOf(const PortRun& run, const JsonRecord& record) {
    const std::string text = record.value("text", "");
    return IsResult(record) ? text : run.label + ": " + text;
}

std::string MissingResult(const PortRun& run) {
    if (!run.startProblem.empty())
        return "could not be started: " + run.startProblem;
    return "ended without a result (exit status " + std::to_string(run.exitStatus) + ")";
}

// The result of a run that printed none (it could not start, or crashed).
JsonRecord MissingResultJson(const PortRun& run, const std::string& time = "") {
    JsonRecord json;
    if (!time.empty())
        json["time"] = time;
    json["event"] = "result";
    json["port"] = JsonText(run.label);
    json["result"] = JsonText(MissingResult(run));
    json["ok"] = false;
    json["exit_status"] = run.exitStatus;
    return json;
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
        JsonRecord results = JsonRecord::array();
        for (const PortRun& run : runs)
            results.push_back(EndedWithResult(run) ? run.last : MissingResultJson(run));
        JsonRecord summary;
        summary["event"] = "summary";
        summary["boards"] = runs.size();
        summary["programmed"] = programmed;
        summary["seconds"] = JsonSeconds(seconds);
        summary["exit_status"] = status;
        summary["by_port"] = byPort;
        summary["runs"] = std::move(results);
        std::printf("%s\n", OneLine(summary).c_str());
    } else {
        if (byPort) {
            std::printf("Summary of %zu ports (%.1f s):\n", runs.size(), seconds);
        } else {
            std::printf("Summary: %d of %zu boards programmed (%.1f s)\n", programmed, runs.size(),
                        seconds);
        }
        for (const PortRun& run : runs) {
            if (EndedWithResult(run)) {
                std::printf("  %s\n", TextOf(run, run.last).c_str());
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
                // A run reports in records; a line that is none (a crash's
                // last words) is passed on as it came.
                run.last = JsonRecord::parse(line.text, nullptr, false);
                if (relayOutput) {
                    const std::string shown = arguments.json ? line.text
                                              : run.last.is_discarded()
                                                  ? run.label + ": " + line.text
                                                  : TextOf(run, run.last);
                    std::printf("%s\n", shown.c_str());
                    std::fflush(stdout);
                }
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
        if (!arguments.logFile.empty() && !EndedWithResult(run)) {
            const std::string problem =
                AppendLogLine(arguments.logFile, OneLine(MissingResultJson(run, UtcTimestamp())));
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
