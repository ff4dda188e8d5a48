// The boot-loader model behind the engine's link port, in virtual time: every
// write goes to the model with the clock's time, and each burst the board
// sends (the answer to a write, or a burst the model planned: a slow answer,
// noise, a fault's extra bytes) becomes readable `latencyMs` after it left
// the board. A read takes the first readable burst only, as a host that reads
// as soon as bytes arrive sees two bursts sent apart in two reads. The port
// tells the clock when its next burst becomes readable, so pauses end then.
// With the line rate on, a write takes its bytes' wire time at 115200 baud
// 8N2 (it blocks until they have left, as the serial driver's write does).
// Once the model has hung up the line, the port is no longer usable: checks
// fail, writes are lost and reads are empty.
#pragma once

#include <cstdint>
#include <deque>

#include "engine/link_port.h"
#include "tests/support/virtual_clock.h"
#include "emulator/boot_loader_model.h"

namespace vorlan::test {

class ModelPort : public LinkPort, public VirtualClock::InputSource {
public:
    // Neither is owned; both outlive the port. Becomes the clock's input
    // source until destroyed.
    ModelPort(board::BootLoaderModel& model, VirtualClock& clock, std::int64_t latencyMs = 0,
              bool lineRate = false);
    ~ModelPort() override;
    ModelPort(const ModelPort&) = delete;
    ModelPort& operator=(const ModelPort&) = delete;

    int WriteCalls() const { return writeCalls_; }
    int ReopenCalls() const { return reopenCalls_; }

    void ReopenSelected() override { ++reopenCalls_; }
    // Writes "COM1" into the port panel.
    void ShowOnStatusBar(StatusBarView& bar) override;
    std::int16_t Check() override { return model_.HungUp() ? -2 : 0; }
    int Write(const std::uint8_t* bytes, std::int32_t count) override;
    std::int32_t Read(std::uint8_t* buffer, std::int32_t capacity) override;
    std::int64_t Drain() override;
    std::int64_t NextReadableUs() const override;

private:
    struct Burst {
        std::int64_t readableAtUs;
        board::Bytes bytes;
    };

    void Queue(std::int64_t sentAtUs, board::Bytes bytes);
    void CollectPlanned();

    board::BootLoaderModel& model_;
    VirtualClock& clock_;
    std::int64_t latencyUs_;
    bool lineRate_;
    std::deque<Burst> pending_;  // in the order they become readable
    std::int64_t lastSentUs_ = 0;
    int writeCalls_ = 0;
    int reopenCalls_ = 0;
};

}  // namespace vorlan::test
