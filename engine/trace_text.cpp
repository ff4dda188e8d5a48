#include "engine/trace_text.h"

#include <array>
#include <cstdio>

namespace vorlan {

namespace {

void AppendEntry(std::string& text, const TraceEntry& entry) {
    std::array<char, 32> time{};
    std::snprintf(time.data(), time.size(), "%10lld ", static_cast<long long>(entry.micros));
    text += time.data();
    if (entry.kind == TraceKind::Event) {
        text += "event ";
        // One event, one line, whatever an OS text holds.
        for (const char c : entry.data) text += (c == '\n' || c == '\r') ? ' ' : c;
        text += '\n';
        return;
    }
    static constexpr char kHex[] = "0123456789ABCDEF";
    text += entry.kind == TraceKind::Sent ? "tx" : "rx";
    for (const char c : entry.data) {
        const auto byte = static_cast<unsigned char>(c);
        text += ' ';
        text += kHex[byte >> 4];
        text += kHex[byte & 0x0F];
    }
    text += '\n';
}

}  // namespace

std::string TraceText(const RunTrace& trace) {
    std::string text = std::string(kTraceFirstLine) + "\n";
    for (const auto& [key, value] : trace.Header()) text += "# " + key + ": " + value + "\n";
    for (const TraceEntry& entry : trace.Beginning()) AppendEntry(text, entry);
    if (trace.DroppedEntries() > 0) {
        std::array<char, 160> mark{};
        std::snprintf(mark.data(), mark.size(),
                      "# dropped %llu entries (%llu bytes) from %.6f s to %.6f s\n",
                      static_cast<unsigned long long>(trace.DroppedEntries()),
                      static_cast<unsigned long long>(trace.DroppedBytes()),
                      static_cast<double>(trace.DroppedFrom()) / 1e6,
                      static_cast<double>(trace.DroppedTo()) / 1e6);
        text += mark.data();
    }
    for (const TraceEntry& entry : trace.Newest()) AppendEntry(text, entry);
    return text;
}

std::string RunEndName(RunEnd kind) {
    switch (kind) {
        case RunEnd::NotStarted:
            return "NotStarted";
        case RunEnd::Programmed:
            return "Programmed";
        case RunEnd::Identified:
            return "Identified";
        case RunEnd::NoResponse:
            return "NoResponse";
        case RunEnd::UserAbort:
            return "UserAbort";
        case RunEnd::ChecksumRefused:
            return "ChecksumRefused";
        case RunEnd::IncompatibleBootloader:
            return "IncompatibleBootloader";
        case RunEnd::OutOfStep:
            return "OutOfStep";
        case RunEnd::BoardRestarted:
            return "BoardRestarted";
        case RunEnd::GarbledIdentity:
            return "GarbledIdentity";
        case RunEnd::DeviceNotFound:
            return "DeviceNotFound";
        case RunEnd::InvalidPort:
            return "InvalidPort";
        case RunEnd::UnknownDevice:
            return "UnknownDevice";
        case RunEnd::NoImage:
            return "NoImage";
        case RunEnd::ImageTooBig:
            return "ImageTooBig";
        case RunEnd::BoardNotSuitable:
            return "BoardNotSuitable";
        case RunEnd::PlanDoesNotFit:
            return "PlanDoesNotFit";
    }
    return "Unknown";
}

std::string TraceResultEvent(const RunResult& result) {
    std::string text = ResultText(result);
    const auto first = text.find_first_not_of(' ');
    const auto last = text.find_last_not_of(' ');
    text = first == std::string::npos ? "" : text.substr(first, last - first + 1);
    std::string event = "result " + RunEndName(result.kind);
    if (!text.empty())
        event += ": " + text;
    return event;
}

}  // namespace vorlan
