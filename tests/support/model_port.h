// The boot-loader model behind the engine's link port, in virtual time: every
// write goes to the model with the clock's time, and the model's answer
// becomes readable `latencyMs` later (by the same clock), all at once. Once
// the model has hung up the line, the port is no longer usable: checks fail,
// writes are lost and reads are empty.
#pragma once

#include <cstdint>
#include <deque>

#include "engine/link_port.h"
#include "tests/support/virtual_clock.h"
#include "tools/board/boot_loader_model.h"

namespace vorlan::test {

class ModelPort : public LinkPort {
public:
    // Neither is owned; both outlive the port.
    ModelPort(board::BootLoaderModel& model, const VirtualClock& clock, std::int64_t latencyMs = 0)
        : model_(model), clock_(clock), latencyMs_(latencyMs) {}

    int WriteCalls() const { return writeCalls_; }
    int ReopenCalls() const { return reopenCalls_; }

    void ReopenSelected() override { ++reopenCalls_; }
    // Writes "COM1" into the port panel.
    void ShowOnStatusBar(StatusBarView& bar) override;
    std::int16_t Check() override { return model_.HungUp() ? -2 : 0; }
    int Write(const std::uint8_t* bytes, std::int32_t count) override;
    std::int32_t Read(std::uint8_t* buffer, std::int32_t capacity) override;
    void Drain() override;

private:
    struct Pending {
        std::int64_t readableAtMs;
        std::uint8_t byte;
    };

    board::BootLoaderModel& model_;
    const VirtualClock& clock_;
    std::int64_t latencyMs_;
    std::deque<Pending> pending_;
    int writeCalls_ = 0;
    int reopenCalls_ = 0;
};

}  // namespace vorlan::test
