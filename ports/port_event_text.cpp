#include "ports/port_event_text.h"

namespace vorlan {

std::string SerialErrorName(SerialErrorKind kind) {
    switch (kind) {
        case SerialErrorKind::kNone:
            return "none";
        case SerialErrorKind::kNotFound:
            return "not found";
        case SerialErrorKind::kBusy:
            return "busy";
        case SerialErrorKind::kDenied:
            return "denied";
        case SerialErrorKind::kNotSupported:
            return "not supported";
        case SerialErrorKind::kHungUp:
            return "hung up";
        case SerialErrorKind::kTimedOut:
            return "timed out";
        case SerialErrorKind::kOther:
            return "other";
    }
    return "other";
}

std::string LineSettingsText(const LineSettings& line) {
    static constexpr char kParity[] = "NOEMS";
    static constexpr const char* kStop[] = {"1", "1.5", "2"};
    std::string text = std::to_string(line.baud) + " " + std::to_string(line.dataBits) +
                       (line.parity < 5 ? kParity[line.parity] : '?') +
                       (line.stopBits < 3 ? kStop[line.stopBits] : "?");
    const std::pair<bool, const char*> flags[] = {
        {line.ctsFlow, "cts-flow"},        {line.dsrFlow, "dsr-flow"},
        {line.xonXoffOut, "xon-out"},      {line.xonXoffIn, "xon-in"},
        {line.dtrHandshake, "dtr-flow"},   {line.rtsHandshake, "rts-flow"},
        {line.parityCheck, "parity-check"}};
    for (const auto& [on, name] : flags) {
        if (on)
            text += std::string(" ") + name;
    }
    return text;
}

}  // namespace vorlan
