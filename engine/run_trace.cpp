#include "engine/run_trace.h"

namespace vorlan {

namespace {

// What an entry costs beside its data: time, kind and the string's own room.
constexpr std::size_t kEntryCharge = 48;

std::size_t SizeOf(const TraceEntry& entry) {
    return entry.data.size() + kEntryCharge;
}

}  // namespace

RunTrace::RunTrace(std::size_t boundBytes)
    : beginningBound_(boundBytes / 4), newestBound_(boundBytes - boundBytes / 4) {}

void RunTrace::Clear() {
    beginning_.clear();
    newest_.clear();
    beginningSize_ = 0;
    newestSize_ = 0;
    droppedEntries_ = 0;
    droppedBytes_ = 0;
    droppedFrom_ = 0;
    droppedTo_ = 0;
}

void RunTrace::Add(std::int64_t micros, TraceKind kind, const std::uint8_t* bytes,
                   std::size_t count) {
    if (count == 0 || bytes == nullptr)
        return;
    Keep(TraceEntry{micros, kind, std::string(reinterpret_cast<const char*>(bytes), count)});
}

void RunTrace::AddEvent(std::int64_t micros, std::string text) {
    Keep(TraceEntry{micros, TraceKind::Event, std::move(text)});
}

void RunTrace::SetHeader(const std::string& key, const std::string& value) {
    for (auto& field : header_) {
        if (field.first == key) {
            field.second = value;
            return;
        }
    }
    header_.emplace_back(key, value);
}

void RunTrace::Keep(TraceEntry entry) {
    const std::size_t size = SizeOf(entry);
    if (newest_.empty() && beginningSize_ + size <= beginningBound_) {
        beginningSize_ += size;
        beginning_.push_back(std::move(entry));
        return;
    }
    newestSize_ += size;
    newest_.push_back(std::move(entry));
    // The oldest of the newest part gives way; the last entry always stays.
    while (newestSize_ > newestBound_ && newest_.size() > 1) {
        const TraceEntry& oldest = newest_.front();
        if (droppedEntries_ == 0)
            droppedFrom_ = oldest.micros;
        droppedTo_ = oldest.micros;
        ++droppedEntries_;
        droppedBytes_ += oldest.data.size();
        newestSize_ -= SizeOf(oldest);
        newest_.pop_front();
    }
}

namespace {

struct TraceState {
    RunTrace trace;
    TraceClock clock;
    std::int64_t start = 0;
    bool open = false;
    bool on = true;
};

TraceState& State() {
    static TraceState state;
    return state;
}

std::int64_t Now() {
    TraceState& state = State();
    return state.clock ? state.clock() - state.start : 0;
}

}  // namespace

void SetTraceClock(TraceClock clock) {
    State().clock = std::move(clock);
}

void SetTracing(bool on) {
    State().on = on;
}

bool TracingOn() {
    return State().on;
}

void BeginRunTrace() {
    TraceState& state = State();
    if (state.open || !state.on)
        return;
    state.trace.Clear();
    state.start = state.clock ? state.clock() : 0;
    state.open = true;
}

void EndRunTrace(const std::string& resultEvent) {
    if (!State().on)
        return;
    BeginRunTrace();
    State().trace.AddEvent(Now(), resultEvent);
    State().open = false;
}

void TraceBytes(TraceKind kind, const std::uint8_t* bytes, std::size_t count) {
    TraceState& state = State();
    if (!state.on || count == 0)
        return;
    BeginRunTrace();
    state.trace.Add(Now(), kind, bytes, count);
}

void TraceEvent(std::string text) {
    TraceState& state = State();
    if (!state.on)
        return;
    BeginRunTrace();
    state.trace.AddEvent(Now(), std::move(text));
}

RunTrace& CurrentRunTrace() {
    return State().trace;
}

void ResetRunTrace() {
    TraceState& state = State();
    state.trace.Clear();
    state.open = false;
    state.on = true;
}

}  // namespace vorlan
