// A pause that takes no real time: each PauseFiveMs is one pass that advances
// a virtual clock by 5 ms, or less when the input source says the board's
// bytes become readable sooner (the program's pauses end when bytes arrive),
// and runs whatever the test scheduled for that pass, the way window events
// run during a real pause.
#pragma once

#include <cstdint>
#include <functional>
#include <map>

#include "engine/pause.h"

namespace vorlan::test {

class VirtualClock : public Pause {
public:
    static constexpr std::int64_t kMsPerPass = 5;

    std::int64_t PauseFiveMs() override;

    // Passes made so far (1 after the first pause).
    std::int64_t Passes() const { return passes_; }
    std::int64_t ElapsedUs() const { return nowUs_; }
    std::int64_t ElapsedMs() const { return nowUs_ / 1000; }
    // Time that passes outside the pauses, e.g. a write that blocks until its
    // bytes are on the wire.
    void Advance(std::int64_t us) { nowUs_ += us; }

    // What tells the clock when (microseconds on this clock) the next unread
    // byte becomes readable, a negative value when none is on its way. A
    // pause ends then, after at least 1 us. Without a source every pause is
    // whole. Not owned; a source clears itself only while it is the one set.
    class InputSource {
    public:
        virtual ~InputSource() = default;
        virtual std::int64_t NextReadableUs() const = 0;
    };
    void SetInputSource(const InputSource* source) { input_ = source; }
    void ClearInputSource(const InputSource* source) {
        if (input_ == source)
            input_ = nullptr;
    }

    // Runs handler during the given pass (1-based), once.
    void At(std::int64_t pass, std::function<void()> handler);
    // Raises the stop request during the given pass, as the stop button does.
    void PressStopAt(std::int64_t pass);
    // Runs hook during every pass with the pass number (e.g. a board model
    // delivering bytes over time).
    void SetPassHook(std::function<void(std::int64_t pass)> hook) { hook_ = std::move(hook); }

private:
    std::int64_t passes_ = 0;
    std::int64_t nowUs_ = 0;
    std::multimap<std::int64_t, std::function<void()>> scheduled_;
    std::function<void(std::int64_t)> hook_;
    const InputSource* input_ = nullptr;
};

}  // namespace vorlan::test
