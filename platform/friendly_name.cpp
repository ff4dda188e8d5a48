#include "platform/friendly_name.h"

#include "platform/port_source.h"

namespace vorlan {

namespace {

constexpr std::size_t kMaxText = kFriendlyNameMaxBytes;

bool IsContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Drops a cut-off UTF-8 sequence at the start of a text.
std::string SkipContinuationBytes(const std::string& text) {
    std::size_t start = 0;
    while (start < text.size() && IsContinuationByte(text[start])) ++start;
    return text.substr(start);
}

}  // namespace

std::string FitFriendlyName(const std::string& label, const std::string& tail) {
    if (label.size() + tail.size() <= kMaxText)
        return label + tail;
    if (tail.size() + 3 >= kMaxText)
        return SkipContinuationBytes(tail.substr(tail.size() - kMaxText));
    std::size_t keep = kMaxText - tail.size() - 3;
    while (keep > 0 && IsContinuationByte(label[keep])) --keep;
    return label.substr(0, keep) + "..." + tail;
}

}  // namespace vorlan
