// Tells a run from its trace (trace_reader.h): what the program sent, what
// the board answered and when, and where the run went wrong, in the words of
// the boot-loader link (search bytes, identity answer, information frame,
// 0xCC, program, head and EEPROM frames, 'K' and 'N').
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "terminal/trace_reader.h"

namespace vorlan::flash {

struct SearchTry {
    std::int64_t micros = 0;
    std::uint8_t byte = 0;
    std::string answer;              // "none", "K", "N", "identity"...
    std::int64_t answerMicros = -1;  // after the search byte; -1: none
};

struct TraceIdentity {
    bool full = false;  // 'V' and four bytes, else the short answer (chip alone)
    std::uint8_t bios = 0, chip = 0, boardCode = 0, preparation = 0;
    std::string chipName, boardName;
};

struct TraceInfoFrame {
    std::string release;
    unsigned skipStart = 0, skipLength = 0;
    bool complete = false;
};

struct TraceFrame {
    int number = 0;  // from 1; a resend keeps its frame's number
    int send = 0;    // 0 the first send, 1.. the resends
    std::int64_t micros = 0;
    std::string kind;  // "program", "head", "eeprom", "other"
    std::uint32_t address = 0;
    int length = 0;  // data bytes
    bool checksumRight = false;
    std::string answer;              // "K", "N", "none", "identity", "K and more", "bytes ..."
    std::int64_t answerMicros = -1;  // from the send to the answer; -1: none
};

struct TraceStory {
    std::vector<std::pair<std::string, std::string>> header;
    std::vector<SearchTry> search;
    std::optional<TraceIdentity> identity;
    std::optional<TraceInfoFrame> info;
    std::optional<std::int64_t> programmingMode;  // when 0xCC went out
    std::string programmingModeAnswer;            // "K", "none"...
    std::vector<TraceFrame> frames;
    std::vector<std::string> events;  // "1.204 s port COM5 closed"
    int resends = 0;
    // Times to the answer over the answered sends, and the longest quiet
    // stretch between two entries (microseconds).
    std::int64_t shortest = 0, median = 0, longest = 0, longestGap = 0, gapAt = 0;
    std::string result;  // the result event: "NoResponse: not Response"
    bool cutShort = false;
    std::string dropped;  // the drop mark, when the trace is not whole
    std::string verdict;  // where the run went wrong, or that it did not
};

TraceStory ExplainTrace(const TraceFile& trace);

// The story in words, one fact a line; and as one JSON object.
std::string StoryText(const TraceStory& story);
std::string StoryJson(const TraceStory& story);

// vorlan-flash --explain FILE [--json]: prints the story; 0, or 2 after a
// message on stderr when the file is no trace.
int ExplainTraceFile(const std::string& path, bool json);

}  // namespace vorlan::flash
