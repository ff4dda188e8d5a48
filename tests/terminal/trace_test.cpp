// The run trace: bounded in memory (its beginning and newest part kept, the
// drop marked), written as text and read back, also from Windows and cut short.
#include <gtest/gtest.h>

#include "engine/run_trace.h"
#include "engine/trace_text.h"
#include "terminal/trace_explainer.h"
#include "terminal/trace_reader.h"

namespace vorlan::flash {
namespace {

// A trace of `count` reads of 100 bytes, one each millisecond.
RunTrace Reads(std::size_t bound, int count) {
    RunTrace trace(bound);
    const std::vector<std::uint8_t> bytes(100, 0x4B);
    for (int i = 0; i < count; ++i) trace.Add(i * 1000, TraceKind::Received, bytes.data(), 100);
    return trace;
}

TEST(RunTrace, KeepsItsBeginningAndNewestPartAndMarksWhatItDropped) {
    struct Row {
        int reads;
        bool drops;
    };
    // 148 bytes an entry: a 14800-byte bound holds 25 at the start, 75 newest.
    for (const Row row : {Row{90, false}, Row{100, false}, Row{1000, true}}) {
        const RunTrace trace = Reads(14800, row.reads);
        ASSERT_EQ(trace.DroppedEntries() > 0, row.drops) << row.reads;
        EXPECT_EQ(trace.Beginning().size() + trace.Newest().size() + trace.DroppedEntries(),
                  static_cast<std::size_t>(row.reads));
        EXPECT_EQ(trace.Beginning().front().micros, 0);
        EXPECT_EQ(trace.Newest().back().micros, (row.reads - 1) * 1000);
        if (row.drops) {
            // What was dropped lies between the two parts, with no hole.
            EXPECT_EQ(trace.DroppedFrom(), trace.Beginning().back().micros + 1000);
            EXPECT_EQ(trace.DroppedTo() + 1000, trace.Newest().front().micros);
            EXPECT_EQ(trace.DroppedBytes(), trace.DroppedEntries() * 100);
            TraceFile read;
            ASSERT_TRUE(ParseTrace(TraceText(trace), read));
            EXPECT_NE(ExplainTrace(read).dropped.find("dropped"), std::string::npos);
        }
    }
}

TEST(RunTrace, TextReadsBackFromEitherSystemAndCutShort) {
    RunTrace trace;
    trace.SetHeader("port", "COM5 /dev/pts/3");
    const std::uint8_t search = 0xC5;
    const std::uint8_t identity[] = {'V', 0x09, 0xFE, 0x09, 0x04, 'K'};
    const std::uint8_t frame[] = {0x40, 0x00, 0xAB, 0x01, 0x00, 0x14};
    const std::uint8_t ack = 'K';
    trace.AddEvent(0, "port COM5 opened: /dev/pts/3 115200 8N2");
    trace.Add(100, TraceKind::Sent, &search, 1);
    trace.Add(700, TraceKind::Received, identity, sizeof identity);
    trace.Add(900, TraceKind::Sent, frame, sizeof frame);
    trace.Add(1500, TraceKind::Received, &ack, 1);
    trace.AddEvent(1600, "result Programmed: Program OK");
    const std::string text = TraceText(trace);

    std::string windows;
    for (const char c : text) windows += c == '\n' ? std::string("\r\n") : std::string(1, c);
    // Cut inside the result line: the frame and its answer are still there.
    const std::string cut = text.substr(0, text.size() - 10);
    struct Row {
        std::string text;
        bool result;
    };
    for (const Row& row : {Row{text, true}, Row{windows, true}, Row{cut, false}}) {
        TraceFile read;
        ASSERT_TRUE(ParseTrace(row.text, read));
        EXPECT_EQ(read.HeaderValue("port"), "COM5 /dev/pts/3");
        const TraceStory story = ExplainTrace(read);
        ASSERT_TRUE(story.identity);
        EXPECT_EQ(story.identity->chipName, "24HJ64");
        ASSERT_EQ(story.frames.size(), 1u);
        EXPECT_EQ(story.frames[0].kind, "eeprom");
        EXPECT_TRUE(story.frames[0].checksumRight);
        EXPECT_EQ(story.frames[0].answer, "K");
        EXPECT_EQ(story.frames[0].answerMicros, 600);
        EXPECT_EQ(story.cutShort, !row.result);
        EXPECT_EQ(story.verdict.find("without the run's result") != std::string::npos, !row.result)
            << story.verdict;
    }
    TraceFile notATrace;
    EXPECT_FALSE(ParseTrace("COM5: Program OK\n", notATrace));
}

}  // namespace
}  // namespace vorlan::flash
