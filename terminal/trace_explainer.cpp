#include "terminal/trace_explainer.h"

#include <algorithm>
#include <cstdio>

#include "catalogue/board_names.h"
#include "catalogue/chip_family.h"

namespace vorlan::flash {

namespace {

constexpr std::uint8_t kAck = 'K';
constexpr std::uint8_t kRefusal = 'N';
constexpr std::uint8_t kIdentity = 'V';
constexpr std::uint8_t kInfo = 'R';

// One thing the program sent and what came back before it sent the next.
struct Exchange {
    std::int64_t sentAt = 0;
    std::vector<std::uint8_t> sent;
    std::vector<std::uint8_t> answer;
    std::int64_t answeredAt = -1;
};

std::string Hex(std::uint32_t value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, static_cast<unsigned>(value));
    return text;
}

std::string Seconds(std::int64_t micros) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f s", static_cast<double>(micros) / 1e6);
    return text;
}

std::string BytesText(const std::vector<std::uint8_t>& bytes, std::size_t from = 0) {
    std::string text;
    for (std::size_t i = from; i < bytes.size() && i < from + 16; ++i) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%02X", bytes[i]);
        text += (text.empty() ? "" : " ") + std::string(hex);
    }
    return bytes.size() > from + 16 ? text + " ..." : text;
}

// The answer to a frame or to 0xCC, in one word or a few.
std::string AnswerWord(const std::vector<std::uint8_t>& answer) {
    if (answer.empty())
        return "none";
    if (answer.size() == 1 && (answer[0] == kAck || answer[0] == kRefusal))
        return answer[0] == kAck ? "K" : "N";
    const auto identity = std::find(answer.begin(), answer.end(), kIdentity);
    if (identity != answer.end() &&
        std::all_of(answer.begin(), identity, [](std::uint8_t b) { return b == kAck; }))
        return "identity";
    if (answer[0] == kAck || answer[0] == kRefusal)
        return std::string(1, static_cast<char>(answer[0])) + " and more: " + BytesText(answer, 1);
    return "bytes " + BytesText(answer);
}

// The identity answer and the information frame after it, from a search
// byte's answer.
std::string ReadIdentity(const std::vector<std::uint8_t>& answer, TraceStory& story) {
    std::size_t end = 0;  // index of the identity's 'K'
    TraceIdentity identity;
    const auto v = std::find(answer.begin(), answer.end(), kIdentity);
    if (v != answer.end() && answer.end() - v >= 6 && v[5] == kAck) {
        identity.full = true;
        identity.bios = v[1];
        identity.chip = v[2];
        identity.boardCode = v[3];
        identity.preparation = v[4];
        end = static_cast<std::size_t>(v - answer.begin()) + 5;
    } else if (answer.size() >= 2 && answer[1] == kAck && answer[0] != kRefusal) {
        identity.chip = answer[0];
        end = 1;
    } else {
        return AnswerWord(answer);
    }
    identity.chipName = std::string(ChipStatusName(identity.chip));
    identity.boardName = identity.full ? BoardNameOf(identity.boardCode) : "";
    story.identity = identity;
    // The information frame: 'R', length, one byte, the data, 'K'.
    std::size_t i = end + 1;
    if (identity.full && identity.bios >= 8 && identity.bios <= 31 && i + 2 < answer.size() &&
        answer[i] == kInfo) {
        TraceInfoFrame info;
        const std::size_t length = answer[i + 1];
        const std::size_t data = i + 3;
        for (std::size_t k = 0; k < length && data + k < answer.size(); ++k) {
            const std::uint8_t byte = answer[data + k];
            if (k < 24 && byte != 0 && info.release.size() == k)
                info.release += static_cast<char>(byte);
            if (k == 24 || k == 25)
                info.skipStart |= static_cast<unsigned>(byte) << (8 * (k - 24));
            if (k == 26 || k == 27)
                info.skipLength |= static_cast<unsigned>(byte) << (8 * (k - 26));
        }
        info.complete = data + length < answer.size() && answer[data + length] == kAck;
        story.info = info;
    }
    return "identity";
}

// previous: the bytes of the frame sent before, for telling a resend.
void ReadFrame(const Exchange& exchange, std::vector<std::uint8_t>& previous, TraceStory& story) {
    const std::vector<std::uint8_t>& b = exchange.sent;
    TraceFrame frame;
    frame.micros = exchange.sentAt;
    unsigned sum = 0;
    for (const std::uint8_t byte : b) sum += byte;
    frame.checksumRight = (sum & 0xFF) == 0;
    frame.kind = "other";
    if (b.size() == 6 && b[0] == 0x40) {
        frame.kind = "eeprom";
        frame.address = b[1];
        frame.length = 1;
    } else if (b.size() >= 5) {
        frame.address = (std::uint32_t{b[0]} << 16) | (std::uint32_t{b[1]} << 8) | b[2];
        const std::size_t twoByteCount = (std::size_t{b[3]} << 8) | b[4];
        if (b.size() == 4u + b[3] + 1u) {
            frame.kind = "program";
            frame.length = b[3];
        } else if (b.size() >= 6 && b.size() == 5 + twoByteCount + 1) {
            frame.kind = "program";
            frame.length = static_cast<int>(twoByteCount);
        }
    }
    frame.answer = AnswerWord(exchange.answer);
    frame.answerMicros = exchange.answeredAt < 0 ? -1 : exchange.answeredAt - exchange.sentAt;
    const bool resend = !story.frames.empty() && story.frames.back().answer == "N" && previous == b;
    frame.number = resend ? story.frames.back().number
                          : (story.frames.empty() ? 1 : story.frames.back().number + 1);
    frame.send = resend ? story.frames.back().send + 1 : 0;
    story.resends += resend ? 1 : 0;
    previous = b;
    story.frames.push_back(frame);
}

// The last program frame is the head block when it does not follow on.
void MarkHead(TraceStory& story) {
    TraceFrame* last = nullptr;
    TraceFrame* before = nullptr;
    for (TraceFrame& frame : story.frames) {
        if (frame.kind != "program" || (last != nullptr && last->number == frame.number))
            continue;
        before = last;
        last = &frame;
    }
    if (last == nullptr || before == nullptr)
        return;
    const std::uint32_t step =
        static_cast<std::uint32_t>(before->length) / (before->length > 255 ? 2 : 1);
    if (last->address != before->address + step && last->address > before->address)
        last->kind = "head";
}

std::string FrameName(const TraceFrame& frame) {
    std::string name = "frame " + std::to_string(frame.number);
    if (frame.kind == "eeprom")
        return name + " (EEPROM address " + Hex(frame.address, 2) + ")";
    if (frame.kind == "head")
        return name + " (the head block at address " + Hex(frame.address, 4) + ")";
    return name + " (address " + Hex(frame.address, 4) + ")";
}

void Timing(const TraceFile& trace, TraceStory& story) {
    std::vector<std::int64_t> times;
    for (const TraceFrame& frame : story.frames) {
        if (frame.answerMicros >= 0)
            times.push_back(frame.answerMicros);
    }
    if (!times.empty()) {
        std::sort(times.begin(), times.end());
        story.shortest = times.front();
        story.median = times[times.size() / 2];
        story.longest = times.back();
    }
    std::int64_t last = -1;
    for (const TraceLine& line : trace.lines) {
        if (line.kind == TraceLine::Kind::Dropped) {
            last = -1;
            continue;
        }
        if (last >= 0 && line.micros - last > story.longestGap) {
            story.longestGap = line.micros - last;
            story.gapAt = last;
        }
        last = line.micros;
    }
}

std::string Verdict(const TraceStory& story) {
    const TraceFrame* last = story.frames.empty() ? nullptr : &story.frames.back();
    const std::string& result = story.result;
    const auto is = [&result](const char* kind) { return result.rfind(kind, 0) == 0; };
    const std::string holds = "; it holds the frames before it";
    if (result.empty()) {
        std::string text =
            "the trace ends without the run's result: the program was ended or the "
            "file was cut short";
        if (last != nullptr)
            text += "; the last frame sent was " + FrameName(*last) + ", answered: " + last->answer;
        return text;
    }
    if (is("Programmed")) {
        int unanswered = 0;
        for (const TraceFrame& frame : story.frames) unanswered += frame.answer == "none" ? 1 : 0;
        return unanswered == 0 ? "every frame was acknowledged once: the board holds the firmware"
                               : std::to_string(unanswered) +
                                     " frames went unanswered and the run went on past them";
    }
    if (is("Identified"))
        return "the board was identified; nothing was written";
    if (is("DeviceNotFound")) {
        int refused = 0;
        for (const SearchTry& t : story.search) refused += t.answer == "N" ? 1 : 0;
        return "none of the " + std::to_string(story.search.size()) +
               " search bytes was answered with 'K'" +
               (refused > 0 ? " (" + std::to_string(refused) + " refused with 'N')" : "") +
               ": no boot loader listens on this port (board off or running its firmware, "
               "wrong port, wiring)";
    }
    if (is("InvalidPort")) {
        for (const std::string& event : story.events) {
            if (event.find("not opened") != std::string::npos)
                return "the port could not be used: " + event;
        }
        return "the port could not be used";
    }
    if (is("UserAbort"))
        return "the run was stopped by the user" +
               (last != nullptr ? " during " + FrameName(*last) + holds : std::string());
    if (last == nullptr)
        return "the run ended with " + result;
    if (is("BoardRestarted"))
        return FrameName(*last) +
               " was answered by the start of an identity answer: the board restarted" + holds;
    if (is("ChecksumRefused"))
        return FrameName(*last) +
               " was refused five times ('N'): the board receives it damaged (noise, wrong line "
               "settings) or cannot write that address" +
               holds;
    if (is("NoResponse"))
        return FrameName(*last) + " got no answer within 1 s: the board stopped answering" + holds;
    if (is("OutOfStep")) {
        for (const TraceFrame& frame : story.frames) {
            if (frame.answer.find("more") != std::string::npos)
                return FrameName(frame) + " was answered by more than one reply (" + frame.answer +
                       "): the board's answers are out of step with the frames" + holds;
        }
        return "a reply came that answered no frame, after " + FrameName(*last) +
               ": the board's answers are out of step with the frames" + holds;
    }
    return "the run ended with " + result + " after " + FrameName(*last);
}

}  // namespace

TraceStory ExplainTrace(const TraceFile& trace) {
    TraceStory story;
    story.header = trace.header;
    std::vector<Exchange> exchanges;
    for (const TraceLine& line : trace.lines) {
        switch (line.kind) {
            case TraceLine::Kind::Sent:
                exchanges.push_back(Exchange{line.micros, line.bytes, {}, -1});
                break;
            case TraceLine::Kind::Received:
                if (exchanges.empty()) {
                    story.events.push_back(Seconds(line.micros) +
                                           " bytes before anything was "
                                           "sent: " +
                                           BytesText(line.bytes));
                    break;
                }
                if (exchanges.back().answeredAt < 0)
                    exchanges.back().answeredAt = line.micros;
                exchanges.back().answer.insert(exchanges.back().answer.end(), line.bytes.begin(),
                                               line.bytes.end());
                break;
            case TraceLine::Kind::Event:
                if (line.text.rfind("result ", 0) == 0)
                    story.result = line.text.substr(7);
                else
                    story.events.push_back(Seconds(line.micros) + " " + line.text);
                break;
            case TraceLine::Kind::Dropped:
                story.dropped = line.text;
                exchanges.clear();  // an answer never spans the cut
                break;
        }
    }
    std::vector<std::uint8_t> previous;
    for (const Exchange& exchange : exchanges) {
        const std::vector<std::uint8_t>& sent = exchange.sent;
        const std::int64_t after =
            exchange.answeredAt < 0 ? -1 : exchange.answeredAt - exchange.sentAt;
        if (sent.size() == 1 && (sent[0] == 0xC2 || sent[0] == 0xC5)) {
            story.search.push_back(
                SearchTry{exchange.sentAt, sent[0], ReadIdentity(exchange.answer, story), after});
        } else if (sent.size() == 1 && sent[0] == 0xCC) {
            story.programmingMode = exchange.sentAt;
            story.programmingModeAnswer = AnswerWord(exchange.answer);
        } else {
            ReadFrame(exchange, previous, story);
        }
    }
    MarkHead(story);
    Timing(trace, story);
    story.cutShort = !trace.hasResult;
    story.verdict = Verdict(story);
    return story;
}

}  // namespace vorlan::flash
