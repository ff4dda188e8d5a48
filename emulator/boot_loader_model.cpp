#include "emulator/boot_loader_model.h"

#include <algorithm>
#include <span>

#include "engine/link_state.h"
#include "firmware_files/intel_hex_writer.h"

namespace vorlan::board {
namespace {

constexpr std::uint8_t kSearchUpdater = 0xC2;
constexpr std::uint8_t kSearchUpgrade = 0xC5;
constexpr std::uint8_t kProgrammingMode = 0xCC;
constexpr std::uint8_t kEepromCommand = 0x40;
constexpr std::size_t kEepromFrameLength = 6;
constexpr std::uint8_t kAck = 'K';
constexpr std::uint8_t kRefusal = 'N';
constexpr std::size_t kReleaseTextBytes = 24;
constexpr std::uint8_t kInfoDataLength = 28;

bool IsSearchByte(std::uint8_t byte) {
    return byte == kSearchUpdater || byte == kSearchUpgrade;
}

std::uint8_t SumOf(const Bytes& bytes) {
    unsigned sum = 0;
    for (std::uint8_t b : bytes) sum += b;
    return static_cast<std::uint8_t>(sum);
}

std::uint8_t Low(unsigned value) {
    return static_cast<std::uint8_t>(value & 0xFF);
}

// The non-erased 16-byte lines of one memory area starting at byte address
// base.
void AddHexArea(intel_hex::IntelHexWriter& hex, const Bytes& area, std::uint32_t base) {
    constexpr std::size_t kLine = 16;
    for (std::size_t at = 0; at < area.size(); at += kLine) {
        const auto line = std::span(area).subspan(at, std::min(kLine, area.size() - at));
        if (std::all_of(line.begin(), line.end(), [](std::uint8_t b) { return b == 0xFF; }))
            continue;
        hex.AddData(base + static_cast<std::uint32_t>(at), line);
    }
}

}  // namespace

ChipLayout LayoutOfChip(std::uint8_t chipIdentity) {
    switch (chipIdentity) {
        case 66:
        case 67:
            return {1, 0x8000, 64, 1};
        case 68:
        case 69:
        case 199:
            return {1, 0x4000, 64, 1};
        case 70:
            return {1, 0x2000, 64, 1};
        case 254:
            return {2, 0xA800, 256, 2};
        case 253:
            return {2, 0x15400, 256, 2};
        default:
            return {};
    }
}

BootLoaderModel::BootLoaderModel(BoardConfig config, BoardFaults faults)
    : config_(std::move(config)),
      faults_(std::move(faults)),
      layout_(LayoutOfChip(config_.chipIdentity)) {
    EraseMemory();
}

void BootLoaderModel::EraseMemory() {
    program_.assign(static_cast<std::size_t>(layout_.memoryTop) * layout_.bytesPerAddress, 0xFF);
    eeprom_.assign(kEepromSize, 0xFF);
}

void BootLoaderModel::Reconnect() {
    hungUp_ = false;
    phase_ = Phase::BeforeSearch;
    frame_.clear();
    planned_.clear();
    nextNoiseMs_.reset();
    deafUntilMs_ = 0;
}

Bytes BootLoaderModel::Receive(const std::uint8_t* bytes, std::size_t n, std::uint64_t nowMs) {
    Bytes out;
    for (std::size_t i = 0; i < n && !hungUp_; ++i) {
        if (nowMs >= deafUntilMs_)
            TakeByte(bytes[i], nowMs, out);
    }
    return out;
}

void BootLoaderModel::Plan(std::uint64_t atMs, Bytes bytes) {
    TimedBurst burst{atMs, std::move(bytes)};
    const auto later = std::upper_bound(
        planned_.begin(), planned_.end(), atMs,
        [](std::uint64_t at, const TimedBurst& planned) { return at < planned.atMs; });
    planned_.insert(later, std::move(burst));
}

std::vector<TimedBurst> BootLoaderModel::TakeDue(std::uint64_t nowMs) {
    std::vector<TimedBurst> due;
    if (hungUp_)
        return due;
    // Noise is planned one burst at a time, so an idle board plans nothing
    // far ahead.
    while (nextNoiseMs_ && *nextNoiseMs_ <= nowMs) {
        Plan(*nextNoiseMs_, faults_.noise);
        *nextNoiseMs_ += faults_.noiseEveryMs;
    }
    const auto end = std::find_if(planned_.begin(), planned_.end(),
                                  [nowMs](const TimedBurst& b) { return b.atMs > nowMs; });
    due.assign(std::make_move_iterator(planned_.begin()), std::make_move_iterator(end));
    planned_.erase(planned_.begin(), end);
    return due;
}

std::optional<std::uint64_t> BootLoaderModel::NextDueMs() const {
    if (hungUp_)
        return std::nullopt;
    std::optional<std::uint64_t> next = nextNoiseMs_;
    if (!planned_.empty() && (!next || planned_.front().atMs < *next))
        next = planned_.front().atMs;
    return next;
}

void BootLoaderModel::TakeByte(std::uint8_t byte, std::uint64_t nowMs, Bytes& out) {
    if (phase_ == Phase::InFrame && config_.frameTimeoutMs > 0 &&
        nowMs > lastByteMs_ + config_.frameTimeoutMs) {
        ReceivedFrame dropped;
        dropped.kind = FrameKind::Dropped;
        dropped.data = frame_;
        dropped.atMs = lastByteMs_;
        log_.push_back(std::move(dropped));
        frame_.clear();
        phase_ = Phase::BetweenFrames;
    }
    lastByteMs_ = nowMs;

    if (phase_ != Phase::InFrame && IsSearchByte(byte)) {
        StartSession(byte, nowMs, out);
        return;
    }
    if (phase_ == Phase::BeforeSearch)
        return;
    if (phase_ == Phase::BetweenFrames && byte == kProgrammingMode) {
        TakeProgrammingMode(byte, nowMs, out);
        return;
    }
    phase_ = Phase::InFrame;
    frame_.push_back(byte);
    if (RestartsNow())
        return;
    const std::size_t expected = ExpectedFrameLength();
    if (expected > 0 && frame_.size() >= expected)
        FinishFrame(nowMs, out);
}

void BootLoaderModel::TakeProgrammingMode(std::uint8_t byte, std::uint64_t nowMs, Bytes& out) {
    ReceivedFrame mode;
    mode.kind = FrameKind::ProgrammingMode;
    mode.data = {byte};
    mode.atMs = nowMs;
    if (config_.programmingModeReply) {
        const std::uint8_t reply = *config_.programmingModeReply;
        if (config_.programmingModeDelayMs > 0) {
            Plan(nowMs + config_.programmingModeDelayMs, {reply});
            deafUntilMs_ = nowMs + config_.programmingModeDelayMs;
        } else {
            out.push_back(reply);
        }
        mode.answer = reply == kAck       ? Answer::Ack
                      : reply == kRefusal ? Answer::Refusal
                                          : Answer::None;
    }
    log_.push_back(std::move(mode));
}

bool BootLoaderModel::RestartsNow() {
    const auto restart = faults_.restartInFrame.find(frameNumber_);
    if (restart == faults_.restartInFrame.end() ||
        frame_.size() < std::max<std::size_t>(restart->second, 1))
        return false;
    ReceivedFrame lost;
    lost.kind = FrameKind::Dropped;
    lost.number = frameNumber_;
    lost.data = frame_;
    lost.atMs = lastByteMs_;
    log_.push_back(std::move(lost));
    frame_.clear();
    phase_ = Phase::BeforeSearch;
    return true;
}

void BootLoaderModel::StartSession(std::uint8_t searchByte, std::uint64_t nowMs, Bytes& out) {
    ReceivedFrame search;
    search.kind = FrameKind::Search;
    search.data = {searchByte};
    search.atMs = nowMs;
    if (faults_.noiseEveryMs > 0 && !faults_.noise.empty() && !nextNoiseMs_)
        nextNoiseMs_ = nowMs + faults_.noiseEveryMs;
    if (nowMs < config_.answerSearchFromMs) {
        log_.push_back(std::move(search));  // still in reset: not heard
        return;
    }
    search.answer = Answer::Ack;
    log_.push_back(std::move(search));
    ++sessions_;
    phase_ = Phase::BetweenFrames;
    frame_.clear();
    frameNumber_ = 0;
    refusalsGiven_.clear();
    Bytes answer;
    AppendIdentity(answer);
    if (sessions_ == 1)
        SpoilFirstIdentity(answer);
    out.insert(out.end(), answer.begin(), answer.end());
    out.insert(out.end(), faults_.afterIdentity.begin(), faults_.afterIdentity.end());
    constexpr std::size_t kBytesPerMs = 10;  // 115200 baud, 11 bits a byte
    for (int k = 1; k <= faults_.ackFloodMs; ++k)
        Plan(nowMs + static_cast<unsigned>(k), Bytes(kBytesPerMs, kAck));
    deafUntilMs_ = nowMs + static_cast<unsigned>(std::max(faults_.ackFloodMs, 0));
}

void BootLoaderModel::AppendIdentity(Bytes& out) const {
    if (config_.shortIdentity) {
        out.insert(out.end(), {config_.chipIdentity, kAck});
        return;
    }
    out.insert(out.end(), {'V', config_.biosByte, config_.chipIdentity, config_.boardCode,
                           config_.preparation, kAck});
    if (!HasInformationFrame(config_.biosByte))
        return;
    out.insert(out.end(), {'R', kInfoDataLength, 0x00});
    for (std::size_t i = 0; i < kReleaseTextBytes; ++i) {
        out.push_back(i < config_.releaseText.size()
                          ? static_cast<std::uint8_t>(config_.releaseText[i])
                          : std::uint8_t{0});
    }
    out.insert(out.end(), {Low(config_.skipStart), Low(config_.skipStart >> 8u),
                           Low(config_.skipLength), Low(config_.skipLength >> 8u), kAck});
}

void BootLoaderModel::SpoilFirstIdentity(Bytes& answer) const {
    constexpr std::size_t kFullAnswerLength = 6;  // 'V' bios chip board prep 'K'
    if (faults_.restartInInfoFrame && answer.size() > kFullAnswerLength) {
        const std::size_t cut = kFullAnswerLength + *faults_.restartInInfoFrame;
        if (cut < answer.size()) {
            answer.resize(cut);
            AppendIdentity(answer);
        }
    }
    // From the last position back, so that each position is one of the
    // answer as the board meant it.
    for (auto it = faults_.identityStray.rbegin(); it != faults_.identityStray.rend(); ++it) {
        const auto at =
            answer.begin() + static_cast<std::ptrdiff_t>(std::min(it->first, answer.size()));
        answer.insert(at, it->second.begin(), it->second.end());
    }
}

std::size_t BootLoaderModel::ExpectedFrameLength() const {
    if (frame_.empty())
        return 0;
    if (frame_[0] == kEepromCommand)
        return kEepromFrameLength;
    const std::size_t header = 3 + static_cast<std::size_t>(layout_.countBytes);
    if (frame_.size() < header)
        return 0;
    std::size_t count = frame_[3];
    if (layout_.countBytes == 2)
        count = (count << 8) | frame_[4];
    return header + count + 1;
}

void BootLoaderModel::FinishFrame(std::uint64_t nowMs, Bytes& out) {
    ReceivedFrame frame;
    frame.number = frameNumber_;
    frame.atMs = nowMs;
    frame.checksumOk = SumOf(frame_) == 0;
    bool storable = false;
    if (frame_[0] == kEepromCommand) {
        frame.kind = FrameKind::Eeprom;
        frame.address = frame_[1];
        frame.data = {frame_[2]};
        storable = true;
    } else {
        frame.kind = FrameKind::ProgramBlock;
        frame.address =
            (std::uint32_t{frame_[0]} << 16) | (std::uint32_t{frame_[1]} << 8) | frame_[2];
        const std::size_t header = 3 + static_cast<std::size_t>(layout_.countBytes);
        frame.data.assign(frame_.begin() + static_cast<std::ptrdiff_t>(header), frame_.end() - 1);
        const std::uint64_t offset = std::uint64_t{frame.address} * layout_.bytesPerAddress;
        storable = frame.data.size() <= static_cast<std::size_t>(layout_.blockSize) &&
                   offset + frame.data.size() <= program_.size();
    }
    frame_.clear();
    phase_ = Phase::BetweenFrames;
    Bytes answer;
    Settle(frame, storable, answer);
    if (faults_.answerDelayMs > 0 && !answer.empty()) {
        Plan(nowMs + faults_.answerDelayMs, std::move(answer));
    } else {
        out.insert(out.end(), answer.begin(), answer.end());
    }
    if (const auto after = faults_.afterAnswer.find(frame.number);
        after != faults_.afterAnswer.end() && frame.answer == Answer::Ack) {
        Plan(nowMs + faults_.answerDelayMs, after->second);
    }
    log_.push_back(std::move(frame));
}

// Decides the answer to a complete frame, applying the faults of its number.
void BootLoaderModel::Settle(ReceivedFrame& frame, bool storable, Bytes& out) {
    const int number = frame.number;
    const auto refusals = faults_.refuse.find(number);
    const bool refuseWithAck =
        faults_.refuseWithAck.count(number) > 0 && refusalsGiven_[number] == 0;
    const bool refuseFault =
        (refusals != faults_.refuse.end() && refusalsGiven_[number] < refusals->second) ||
        refuseWithAck;
    if (!frame.checksumOk || !storable || refuseFault) {
        frame.answer = Answer::Refusal;
        out.push_back(kRefusal);
        if (frame.checksumOk && storable) {
            ++refusalsGiven_[number];
            if (refuseWithAck)
                out.push_back(kAck);
        }
        return;
    }
    ++frameNumber_;
    if (faults_.silent.count(number) > 0)
        return;  // lost on the way: neither stored nor answered
    Store(frame);
    frame.stored = true;
    if (const auto stray = faults_.stray.find(number); stray != faults_.stray.end()) {
        out.insert(out.end(), stray->second.begin(), stray->second.end());
    }
    frame.answer = Answer::Ack;
    out.push_back(kAck);
    if (faults_.hangUpAfter == number) {
        hungUp_ = true;
        phase_ = Phase::BeforeSearch;
    }
}

void BootLoaderModel::Store(const ReceivedFrame& frame) {
    if (frame.kind == FrameKind::Eeprom) {
        eeprom_[frame.address % kEepromSize] = frame.data[0];
    } else {
        const std::size_t offset = std::size_t{frame.address} * layout_.bytesPerAddress;
        std::copy(frame.data.begin(), frame.data.end(),
                  program_.begin() + static_cast<std::ptrdiff_t>(offset));
    }
    ++writeCount_;
}

std::string BootLoaderModel::IntelHex() const {
    intel_hex::IntelHexWriter hex(16);
    AddHexArea(hex, program_, 0);
    AddHexArea(hex, eeprom_, kEepromHexAddress);
    return hex.Finish();
}

}  // namespace vorlan::board
