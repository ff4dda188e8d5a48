// The flight recorder of the board link: for each run, every byte written to
// and read from the board with the microseconds since the run began, the
// events around them (the port opened with its line settings read back,
// closed, modem lines, OS errors, the stop request, the result) and a header
// (program, build, port, system, firmware). A failed run's trace is what a
// technician sends to support; trace_text.h writes it as text.
//
// Memory is bounded: past the bound the trace keeps its beginning and its
// newest part and counts what it dropped between them. The clock is injected
// (the ports layer gives a steady clock; tests a virtual one). The process
// has one current trace, like the link state. UI thread only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace vorlan {

enum class TraceKind : std::uint8_t {
    Sent,      // bytes written to the board
    Received,  // bytes read from the board
    Event,     // text: port opened, closed, an error, the stop, the result
};

struct TraceEntry {
    std::int64_t micros = 0;  // since the run began
    TraceKind kind = TraceKind::Event;
    std::string data;  // the bytes, or the event's text
};

inline constexpr std::size_t kTraceBoundBytes = 4u * 1024u * 1024u;

class RunTrace {
public:
    // boundBytes: the most the entries may hold (bytes and texts, plus a
    // fixed charge per entry); a quarter of it keeps the beginning.
    explicit RunTrace(std::size_t boundBytes = kTraceBoundBytes);

    void Clear();  // entries and drop counts; the header stays
    void Add(std::int64_t micros, TraceKind kind, const std::uint8_t* bytes, std::size_t count);
    void AddEvent(std::int64_t micros, std::string text);

    // The header: "program", "build", "port", "system", "firmware"... in the
    // order first set; setting a key again replaces its value.
    void SetHeader(const std::string& key, const std::string& value);
    const std::vector<std::pair<std::string, std::string>>& Header() const { return header_; }

    const std::vector<TraceEntry>& Beginning() const { return beginning_; }
    const std::deque<TraceEntry>& Newest() const { return newest_; }
    // What fell out between the beginning and the newest part.
    std::uint64_t DroppedEntries() const { return droppedEntries_; }
    std::uint64_t DroppedBytes() const { return droppedBytes_; }
    std::int64_t DroppedFrom() const { return droppedFrom_; }  // micros of the first dropped
    std::int64_t DroppedTo() const { return droppedTo_; }      // micros of the last dropped
    bool Empty() const { return beginning_.empty() && newest_.empty(); }

private:
    void Keep(TraceEntry entry);

    std::size_t beginningBound_;
    std::size_t newestBound_;
    std::size_t beginningSize_ = 0;
    std::size_t newestSize_ = 0;
    std::vector<std::pair<std::string, std::string>> header_;
    std::vector<TraceEntry> beginning_;
    std::deque<TraceEntry> newest_;
    std::uint64_t droppedEntries_ = 0;
    std::uint64_t droppedBytes_ = 0;
    std::int64_t droppedFrom_ = 0;
    std::int64_t droppedTo_ = 0;
};

// The process's trace. A run begins it (RunUpdate); an event before the run
// (the port opened for a reset pulse) begins it too and stays in the run's
// trace. The result ends it; it stays readable until the next begins.
using TraceClock = std::function<std::int64_t()>;  // microseconds, steady
void SetTraceClock(TraceClock clock);              // null: time stays 0
// Off: nothing is recorded (for measuring what recording costs).
void SetTracing(bool on);
bool TracingOn();
void BeginRunTrace();  // starts a new trace unless one is open
void EndRunTrace(const std::string& resultEvent);
void TraceBytes(TraceKind kind, const std::uint8_t* bytes, std::size_t count);
void TraceEvent(std::string text);
RunTrace& CurrentRunTrace();
void ResetRunTrace();  // with the engine's state: empty, closed, tracing on

}  // namespace vorlan
