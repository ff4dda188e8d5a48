#include "tests/support/model_port.h"

#include "engine/status_reporting.h"

namespace vorlan::test {

void ModelPort::ShowOnStatusBar(StatusBarView& bar) {
    SetPanel(bar, PortPanelIndex, "COM1");
}

int ModelPort::Write(const std::uint8_t* bytes, std::int32_t count) {
    ++writeCalls_;
    if (model_.HungUp() || count <= 0)
        return 0;
    const std::int64_t now = clock_.ElapsedMs();
    const board::Bytes answer =
        model_.Receive(bytes, static_cast<std::size_t>(count), static_cast<std::uint64_t>(now));
    for (std::uint8_t byte : answer) pending_.push_back(Pending{now + latencyMs_, byte});
    return 2;
}

std::int32_t ModelPort::Read(std::uint8_t* buffer, std::int32_t capacity) {
    if (model_.HungUp()) {
        pending_.clear();
        return 0;
    }
    const std::int64_t now = clock_.ElapsedMs();
    std::int32_t count = 0;
    while (count < capacity && !pending_.empty() && pending_.front().readableAtMs <= now) {
        buffer[count++] = pending_.front().byte;
        pending_.pop_front();
    }
    return count;
}

void ModelPort::Drain() {
    // Only what has arrived by now can be drained; later bytes are still on
    // their way.
    const std::int64_t now = clock_.ElapsedMs();
    while (!pending_.empty() && pending_.front().readableAtMs <= now) pending_.pop_front();
}

}  // namespace vorlan::test
