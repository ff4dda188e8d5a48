// Whole update runs against the boot-loader model of a PIC24HJ64 whose
// answers carry bytes chosen by the fuzzer: refusals, dropped frames, a
// refusal with an ack, bytes inside or after an answer, a second
// information frame, a 'K' flood, line noise (without 'K' or 'N', which no
// protocol can tell from a board's answer), slow answers, a board that
// restarts inside a frame (a search byte of its own in what follows makes it
// answer with its identity), a late answer to 0xCC, stray bytes inside its
// first identity answer and a restart inside its first information frame.
// However the run ends, it may report success only when the board's memory
// holds the whole image as the board's real identity asks for it: the image
// with the boot-loader jump, its head at the end of the block at the program
// limit, and nothing in the board's real skip window.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "catalogue/image_table.h"
#include "engine/engine_state.h"
#include "engine/link_port.h"
#include "engine/pause.h"
#include "engine/run_plan.h"
#include "engine/update_run.h"
#include "engine/views.h"
#include "fuzz/fuzz_check.h"
#include "emulator/boot_loader_model.h"

namespace {

using vorlan::board::Bytes;

constexpr std::int64_t kByteUs = 95;  // 11 bits at 115200 baud
constexpr int kFamily = 6;            // PIC24HJ64
constexpr std::int32_t kImageLength = 5 * 256 - 10;
constexpr std::size_t kHeadEnd = (0xA780 + 128) * 2;

// The model on a 115200 baud line in virtual time: a write takes its wire
// time, each burst of the board's arrives in a read of its own, and a pause
// ends when the next burst arrives.
class ModelLine final : public vorlan::LinkPort, public vorlan::Pause {
public:
    explicit ModelLine(vorlan::board::BootLoaderModel& model) : model_(model) {}

    std::int64_t PauseFiveMs() override {
        Collect();
        std::int64_t next = nowUs_ + vorlan::kPauseUs;
        if (!pending_.empty())
            next = std::min(next, pending_.front().first);
        if (const auto planned = model_.NextDueMs())
            next = std::min(next, static_cast<std::int64_t>(*planned) * 1000);
        const std::int64_t waited = std::max<std::int64_t>(next - nowUs_, 1);
        nowUs_ += waited;
        return waited;
    }
    void ReopenSelected() override {}
    void ShowOnStatusBar(vorlan::StatusBarView&) override {}
    std::int16_t Check() override { return 0; }
    int Write(const std::uint8_t* bytes, std::int32_t count) override {
        Collect();
        nowUs_ += count * kByteUs;
        Queue(nowUs_, model_.Receive(bytes, static_cast<std::size_t>(count), NowMs()));
        Collect();
        return 2;
    }
    std::int32_t Read(std::uint8_t* buffer, std::int32_t capacity) override {
        Collect();
        if (pending_.empty() || pending_.front().first > nowUs_)
            return 0;
        Bytes& burst = pending_.front().second;
        const auto n = static_cast<std::int32_t>(
            std::min<std::size_t>(burst.size(), static_cast<std::size_t>(capacity)));
        std::copy_n(burst.begin(), n, buffer);
        burst.erase(burst.begin(), burst.begin() + n);
        if (burst.empty())
            pending_.pop_front();
        return n;
    }
    std::int64_t Drain() override {
        std::int64_t drained = 0;
        while (!pending_.empty() && pending_.front().first <= nowUs_) {
            drained += static_cast<std::int64_t>(pending_.front().second.size());
            pending_.pop_front();
        }
        return drained;
    }

private:
    std::uint64_t NowMs() const { return static_cast<std::uint64_t>(nowUs_ / 1000); }
    void Queue(std::int64_t atUs, Bytes bytes) {
        if (bytes.empty())
            return;
        lastUs_ = std::max(lastUs_, atUs);  // planned bursts never overtake an answer
        pending_.emplace_back(lastUs_, std::move(bytes));
    }
    void Collect() {
        for (auto& burst : model_.TakeDue(NowMs()))
            Queue(static_cast<std::int64_t>(burst.atMs) * 1000, std::move(burst.bytes));
    }

    vorlan::board::BootLoaderModel& model_;
    std::int64_t nowUs_ = 0;
    std::int64_t lastUs_ = 0;
    std::deque<std::pair<std::int64_t, Bytes>> pending_;
};

class NoProgress final : public vorlan::ProgressBarView {
public:
    void SetPosition(int) override {}
    void SetMaximum(int) override {}
    void SetSmooth(bool) override {}
};

class NoStatus final : public vorlan::StatusBarView {
public:
    void SetPanelText(int, const std::string&) override {}
    void RepaintNow() override {}
};

Bytes SomeBytes(FuzzedDataProvider& input, std::size_t most) {
    return input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange<std::size_t>(0, most));
}

int SomeFrame(FuzzedDataProvider& input) {
    return input.ConsumeIntegralInRange(0, 8);
}

vorlan::board::BoardFaults SomeFaults(FuzzedDataProvider& input) {
    vorlan::board::BoardFaults faults;
    for (int i = input.ConsumeIntegralInRange(0, 2); i > 0; --i)
        faults.refuse[SomeFrame(input)] = input.ConsumeIntegralInRange(1, 6);
    for (int i = input.ConsumeIntegralInRange(0, 2); i > 0; --i)
        faults.silent.insert(SomeFrame(input));
    for (int i = input.ConsumeIntegralInRange(0, 2); i > 0; --i)
        faults.refuseWithAck.insert(SomeFrame(input));
    for (int i = input.ConsumeIntegralInRange(0, 2); i > 0; --i) {
        const int frame = SomeFrame(input);
        faults.stray[frame] = SomeBytes(input, 4);
    }
    for (int i = input.ConsumeIntegralInRange(0, 2); i > 0; --i) {
        const int frame = SomeFrame(input);
        faults.afterAnswer[frame] = SomeBytes(input, 4);
    }
    if (input.ConsumeBool()) {
        faults.afterIdentity = {'R'};
        const Bytes frame = SomeBytes(input, 40);
        faults.afterIdentity.insert(faults.afterIdentity.end(), frame.begin(), frame.end());
    }
    faults.ackFloodMs = input.ConsumeIntegralInRange(0, 40);
    faults.noiseEveryMs = input.ConsumeIntegralInRange<std::uint32_t>(0, 20);
    for (std::uint8_t byte : SomeBytes(input, 3)) {
        if (byte != 'K' && byte != 'N')
            faults.noise.push_back(byte);
    }
    faults.answerDelayMs = input.ConsumeIntegralInRange<std::uint32_t>(0, 1100);
    if (input.ConsumeBool()) {
        const int frame = SomeFrame(input);
        faults.restartInFrame[frame] = input.ConsumeIntegralInRange<std::size_t>(0, 262);
    }
    for (int i = input.ConsumeIntegralInRange(0, 2); i > 0; --i)
        faults.identityStray[input.ConsumeIntegralInRange<std::size_t>(0, 8)] = SomeBytes(input, 3);
    if (input.ConsumeBool())
        faults.restartInInfoFrame = input.ConsumeIntegralInRange<std::size_t>(0, 34);
    return faults;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    vorlan::ResetEngineState();

    static const std::uint8_t kBios[] = {4, 5, 9, 31};
    vorlan::board::BoardConfig config;
    config.biosByte = input.PickValueInArray(kBios);
    config.boardCode = vorlan::ImageIdentity().boardCode;
    config.preparation = vorlan::ImageIdentity().preparation;
    config.programmingModeDelayMs = input.ConsumeIntegralInRange<std::uint32_t>(0, 3200);
    if (input.ConsumeBool()) {
        config.skipStart = static_cast<std::uint16_t>(0x80 * input.ConsumeIntegralInRange(1, 4));
        config.skipLength = static_cast<std::uint16_t>(0x80 * input.ConsumeIntegralInRange(0, 2));
    }
    vorlan::board::BootLoaderModel model(config, SomeFaults(input));

    Bytes program(kImageLength);
    for (std::size_t i = 0; i < program.size(); ++i)
        program[i] = static_cast<std::uint8_t>(i * 7 + (i >> 8));
    const Bytes head{0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7};
    Bytes jumped = program;  // the run puts the boot-loader jump in front
    vorlan::ImageSlotForTest(0, kFamily) =
        vorlan::ImageDescriptor{head.data(),   static_cast<std::int32_t>(head.size()),
                                jumped.data(), kImageLength,
                                nullptr,       0};

    ModelLine line(model);
    vorlan::BindLinkPort(&line);
    vorlan::BindPause(&line);
    NoProgress progress;
    NoStatus status;
    const vorlan::RunResult result = vorlan::RunUpdate(progress, status);

    if (result.Succeeded()) {
        Bytes expected(model.ProgramMemory().size(), 0xFF);
        std::copy(jumped.begin(), jumped.end(), expected.begin());
        // A full block whose end address lies in the window (both ends
        // included) is left as it was.
        const bool skips = config.biosByte >= 8 && config.biosByte <= 31 && config.skipStart != 0;
        for (std::size_t block = 0; skips && block + 256 <= jumped.size(); block += 256) {
            const std::size_t after = (block + 256) / 2;
            if (config.skipStart <= after && after <= config.skipStart + config.skipLength)
                std::fill_n(expected.begin() + static_cast<std::ptrdiff_t>(block), 256, 0xFF);
        }
        std::copy(head.begin(), head.end(), expected.begin() + kHeadEnd - head.size());
        FUZZ_CHECK(model.ProgramMemory() == expected);
        FUZZ_CHECK(!std::equal(jumped.begin(), jumped.begin() + 8, program.begin()));
    }
    vorlan::ResetEngineState();
    return 0;
}
