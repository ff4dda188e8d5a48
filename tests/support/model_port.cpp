#include "tests/support/model_port.h"

#include <algorithm>

#include "engine/status_reporting.h"

namespace vorlan::test {

namespace {

// 11 bits a byte (start, 8 data, 2 stop) at 115200 baud, in nanoseconds.
constexpr std::int64_t kByteNs = 11 * 1'000'000'000LL / 115'200;

}  // namespace

ModelPort::ModelPort(board::BootLoaderModel& model, VirtualClock& clock, std::int64_t latencyMs,
                     bool lineRate)
    : model_(model), clock_(clock), latencyUs_(latencyMs * 1000), lineRate_(lineRate) {
    clock_.SetInputSource(this);
}

ModelPort::~ModelPort() {
    clock_.ClearInputSource(this);
}

void ModelPort::ShowOnStatusBar(StatusBarView& bar) {
    SetPanel(bar, PortPanelIndex, "COM1");
}

void ModelPort::Queue(std::int64_t sentAtUs, board::Bytes bytes) {
    if (bytes.empty())
        return;
    // The model plans in whole milliseconds: a burst planned for the moment
    // of an answer must not overtake it.
    lastSentUs_ = std::max(lastSentUs_, sentAtUs);
    const std::int64_t at = lastSentUs_ + latencyUs_;
    const auto later =
        std::upper_bound(pending_.begin(), pending_.end(), at,
                         [](std::int64_t t, const Burst& burst) { return t < burst.readableAtUs; });
    pending_.insert(later, Burst{at, std::move(bytes)});
}

void ModelPort::CollectPlanned() {
    const auto nowMs = static_cast<std::uint64_t>(clock_.ElapsedMs());
    for (board::TimedBurst& burst : model_.TakeDue(nowMs))
        Queue(static_cast<std::int64_t>(burst.atMs) * 1000, std::move(burst.bytes));
}

std::int64_t ModelPort::NextReadableUs() const {
    if (model_.HungUp())
        return -1;
    std::int64_t next = pending_.empty() ? -1 : pending_.front().readableAtUs;
    if (const auto planned = model_.NextDueMs()) {
        const std::int64_t at = static_cast<std::int64_t>(*planned) * 1000 + latencyUs_;
        next = next < 0 ? at : std::min(next, at);
    }
    return next;
}

int ModelPort::Write(const std::uint8_t* bytes, std::int32_t count) {
    ++writeCalls_;
    if (model_.HungUp() || count <= 0)
        return 0;
    CollectPlanned();
    if (lineRate_)
        clock_.Advance(count * kByteNs / 1000);
    const std::int64_t now = clock_.ElapsedUs();
    Queue(now, model_.Receive(bytes, static_cast<std::size_t>(count),
                              static_cast<std::uint64_t>(now / 1000)));
    CollectPlanned();
    return 2;
}

std::int32_t ModelPort::Read(std::uint8_t* buffer, std::int32_t capacity) {
    if (model_.HungUp()) {
        pending_.clear();
        return 0;
    }
    CollectPlanned();
    if (pending_.empty() || pending_.front().readableAtUs > clock_.ElapsedUs() || capacity <= 0)
        return 0;
    board::Bytes& first = pending_.front().bytes;
    const auto count = static_cast<std::int32_t>(
        std::min<std::size_t>(first.size(), static_cast<std::size_t>(capacity)));
    std::copy_n(first.begin(), count, buffer);
    first.erase(first.begin(), first.begin() + count);
    if (first.empty())
        pending_.pop_front();
    return count;
}

std::int64_t ModelPort::Drain() {
    // Only what has arrived by now can be drained; later bytes are still on
    // their way.
    CollectPlanned();
    std::int64_t drained = 0;
    while (!pending_.empty() && pending_.front().readableAtUs <= clock_.ElapsedUs()) {
        drained += static_cast<std::int64_t>(pending_.front().bytes.size());
        pending_.pop_front();
    }
    return drained;
}

}  // namespace vorlan::test
