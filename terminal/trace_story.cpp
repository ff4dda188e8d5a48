// The story of a trace in words and as JSON (trace_explainer.h).
#include <cstdio>

#include "terminal/json_record.h"
#include "terminal/trace_explainer.h"

namespace vorlan::flash {

namespace {

std::string Ms(std::int64_t micros) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f ms", static_cast<double>(micros) / 1000.0);
    return text;
}

std::string At(std::int64_t micros) {
    char text[32];
    std::snprintf(text, sizeof text, "%10.6f", static_cast<double>(micros) / 1e6);
    return text;
}

std::string Hex(unsigned value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, value);
    return text;
}

std::string IdentityText(const TraceIdentity& id) {
    if (!id.full)
        return "short answer: chip " + std::to_string(id.chip) + " (" +
               (id.chipName.empty() ? "unknown" : id.chipName) + "), no BIOS byte or board code";
    char text[200];
    std::snprintf(text, sizeof text,
                  "BIOS %02X, chip %u (%s), board code %u (%s), preparation %02X", id.bios, id.chip,
                  id.chipName.empty() ? "unknown" : id.chipName.c_str(), id.boardCode,
                  id.boardName.c_str(), id.preparation);
    return text;
}

}  // namespace

std::string StoryText(const TraceStory& story) {
    std::string text;
    const auto line = [&text](const std::string& piece) { text += piece + "\n"; };
    for (const auto& [key, value] : story.header) line(key + ": " + value);
    line("");
    int answered = 0;
    for (const SearchTry& t : story.search) {
        answered += t.answer == "identity" || t.answer == "K" ? 1 : 0;
        line(At(t.micros) + " search byte " + Hex(t.byte, 2) + ": answer " + t.answer +
             (t.answerMicros >= 0 ? " after " + Ms(t.answerMicros) : ""));
    }
    if (story.identity)
        line("identity: " + IdentityText(*story.identity));
    if (story.info) {
        line("information frame" + std::string(story.info->complete ? "" : " (incomplete)") +
             ": release \"" + story.info->release + "\", skip window " +
             (story.info->skipStart == 0
                  ? std::string("none")
                  : Hex(story.info->skipStart, 4) + " length " + Hex(story.info->skipLength, 4)));
    }
    if (story.programmingMode)
        line(At(*story.programmingMode) + " 0xCC (programming mode): answer " +
             story.programmingModeAnswer);
    for (const TraceFrame& f : story.frames) {
        char address[16];
        std::snprintf(address, sizeof address, f.kind == "eeprom" ? "%02X" : "%04X",
                      static_cast<unsigned>(f.address));
        line(At(f.micros) + " frame " + std::to_string(f.number) +
             (f.send > 0 ? " resend " + std::to_string(f.send) : "") + ": " + f.kind + " " +
             address + ", " + std::to_string(f.length) + " bytes, checksum " +
             (f.checksumRight ? "right" : "WRONG") + ", answer " + f.answer +
             (f.answerMicros >= 0 ? " after " + Ms(f.answerMicros) : ""));
    }
    for (const std::string& event : story.events) line("event " + event);
    if (!story.dropped.empty())
        line("not in the trace: " + story.dropped);
    line("");
    line("frames: " + std::to_string(story.frames.empty() ? 0 : story.frames.back().number) +
         ", resends: " + std::to_string(story.resends));
    if (!story.frames.empty()) {
        line("time to an answer: shortest " + Ms(story.shortest) + ", median " + Ms(story.median) +
             ", longest " + Ms(story.longest));
    }
    line("longest quiet stretch: " + Ms(story.longestGap) + " from " + At(story.gapAt) + " s");
    line("result: " +
         (story.result.empty() ? std::string("none (the trace is cut short)") : story.result));
    line("what happened: " + story.verdict);
    return text;
}

std::string StoryJson(const TraceStory& story) {
    JsonRecord json;
    JsonRecord header = JsonRecord::object();
    for (const auto& [key, value] : story.header) header[key] = JsonText(value);
    json["header"] = header;
    JsonRecord search = JsonRecord::array();
    for (const SearchTry& t : story.search) {
        search.push_back({{"micros", t.micros},
                          {"byte", t.byte},
                          {"answer", t.answer},
                          {"answer_micros", t.answerMicros}});
    }
    json["search"] = search;
    if (story.identity) {
        const TraceIdentity& id = *story.identity;
        json["identity"] = {{"full", id.full},
                            {"bios", id.bios},
                            {"chip", id.chip},
                            {"chip_name", JsonText(id.chipName)},
                            {"board_code", id.boardCode},
                            {"board", JsonText(id.boardName)},
                            {"preparation", id.preparation}};
    }
    if (story.info) {
        json["information_frame"] = {{"release", JsonText(story.info->release)},
                                     {"skip_start", story.info->skipStart},
                                     {"skip_length", story.info->skipLength},
                                     {"complete", story.info->complete}};
    }
    if (story.programmingMode) {
        json["programming_mode"] = {{"micros", *story.programmingMode},
                                    {"answer", story.programmingModeAnswer}};
    }
    JsonRecord frames = JsonRecord::array();
    for (const TraceFrame& f : story.frames) {
        frames.push_back({{"number", f.number},
                          {"send", f.send},
                          {"micros", f.micros},
                          {"kind", f.kind},
                          {"address", f.address},
                          {"length", f.length},
                          {"checksum_right", f.checksumRight},
                          {"answer", JsonText(f.answer)},
                          {"answer_micros", f.answerMicros}});
    }
    json["frames"] = frames;
    json["resends"] = story.resends;
    json["timing"] = {{"shortest_micros", story.shortest},
                      {"median_micros", story.median},
                      {"longest_micros", story.longest},
                      {"longest_gap_micros", story.longestGap},
                      {"longest_gap_at_micros", story.gapAt}};
    JsonRecord events = JsonRecord::array();
    for (const std::string& event : story.events) events.push_back(JsonText(event));
    json["events"] = events;
    json["dropped"] = story.dropped.empty() ? JsonRecord(nullptr) : JsonRecord(story.dropped);
    json["result"] =
        story.result.empty() ? JsonRecord(nullptr) : JsonRecord(JsonText(story.result));
    json["cut_short"] = story.cutShort;
    json["verdict"] = JsonText(story.verdict);
    return OneLine(json);
}

int ExplainTraceFile(const std::string& path, bool json) {
    TraceFile trace;
    std::string problem;
    if (!ReadTraceFile(path, trace, problem)) {
        std::fprintf(stderr, "vorlan-flash: %s\n", problem.c_str());
        return 2;
    }
    const TraceStory story = ExplainTrace(trace);
    std::fputs((json ? StoryJson(story) + "\n" : StoryText(story)).c_str(), stdout);
    return 0;
}

}  // namespace vorlan::flash
