#include "terminal/terminal_console.h"

#include <algorithm>
#include <cmath>

#include "terminal/json_record.h"

namespace vorlan::flash {

namespace {

constexpr int kBarWidth = 30;
// Redrawing more often than this only costs time on a slow terminal.
constexpr double kRedrawInterval = 0.1;
// The search runs its bar downwards from the top; waiting this long after a
// new maximum before the first draw shows which way the bar runs.
constexpr double kFirstDrawDelay = 0.25;
// The bar that runs down is the search's: one step a try of 100 ms.
constexpr double kSearchTrySeconds = 0.1;

std::string MinutesAndSeconds(double seconds) {
    const auto whole = static_cast<long>(std::lround(std::max(0.0, seconds)));
    char text[32];
    std::snprintf(text, sizeof text, "%ld:%02ld", whole / 60, whole % 60);
    return text;
}

}  // namespace

TerminalConsole::TerminalConsole(std::FILE* out, bool drawBar, std::function<double()> now,
                                 std::function<std::uint64_t()> bytesExchanged)
    : out_(out),
      drawBar_(drawBar),
      now_(std::move(now)),
      bytesExchanged_(std::move(bytesExchanged)) {}

void TerminalConsole::Write(const std::string& text) {
    std::fputs(text.c_str(), out_);
    std::fflush(out_);
}

void TerminalConsole::PrintLine(const std::string& text) {
    if (text.empty() || (anyLine_ && text == lastLine_)) {
        return;
    }
    if (json_ || silent_) {
        lastLine_ = text;
        anyLine_ = true;
        if (json_ && !silent_) {
            JsonRecord json;
            json["event"] = "step";
            json["port"] = JsonText(jsonPort_);
            json["text"] = JsonText(text);
            json["seconds"] = JsonSeconds(now_());
            Write(OneLine(json) + "\n");
        }
        return;
    }
    const bool redraw = barShown_;
    ClearBar();
    Write((records_ ? LineRecord(text, false) : text) + "\n");
    lastLine_ = text;
    anyLine_ = true;
    if (redraw) {
        DrawBar(true);
    }
}

void TerminalConsole::SetBarMaximum(int maximum) {
    maximum_ = maximum;
    countingDown_ = false;
    barStart_ = now_();
    barStartBytes_ = bytesExchanged_();
    lastDraw_ = -1;
}

void TerminalConsole::SetBarPosition(int position) {
    const int previous = position_;
    if (position > 0 && previous > 0 && position < previous) {
        countingDown_ = true;
    }
    position_ = position;
    if (position <= 0) {
        ClearBar();
        return;
    }
    // A bar that has just filled up is always shown full.
    DrawBar(position >= maximum_ && previous > 0 && previous < position);
}

void TerminalConsole::WriteJsonSteps(const std::string& port) {
    ClearBar();
    json_ = true;
    jsonPort_ = port;
    drawBar_ = false;
}

void TerminalConsole::Silence() {
    ClearBar();
    silent_ = true;
    drawBar_ = false;
}

void TerminalConsole::ClearBar() {
    if (barShown_) {
        Write("\r\x1b[K");
        barShown_ = false;
    }
}

void TerminalConsole::ShowWaiting(const std::string& text) {
    if (!drawBar_)
        return;
    Write("\r" + text + "\x1b[K");
    barShown_ = true;
}

std::string TerminalConsole::BarText() const {
    const int maximum = std::max(maximum_, 1);
    const int position = std::clamp(position_, 0, maximum);
    const int filled = static_cast<int>(static_cast<long long>(position) * kBarWidth / maximum);
    std::string text = "[" + std::string(static_cast<std::size_t>(filled), '#') +
                       std::string(static_cast<std::size_t>(kBarWidth - filled), '.') + "] ";
    char numbers[96];
    if (countingDown_) {
        std::snprintf(numbers, sizeof numbers, "reset or switch on the board now: %.1f s left",
                      position * kSearchTrySeconds);
        return text + numbers;
    }
    const double elapsed = now_() - barStart_;
    const double percent = 100.0 * position / maximum;
    std::snprintf(numbers, sizeof numbers, "%3d%%", static_cast<int>(percent));
    text += numbers;
    if (elapsed > 0) {
        const double rate = static_cast<double>(bytesExchanged_() - barStartBytes_) / elapsed;
        std::snprintf(numbers, sizeof numbers, "  %.1f kB/s", rate / 1000.0);
        text += numbers;
        const double left = elapsed * (maximum - position) / position;
        text += "  " + MinutesAndSeconds(left) + " left";
    }
    return text;
}

void TerminalConsole::DrawBar(bool force) {
    if (!drawBar_ || position_ <= 0) {
        return;
    }
    const double now = now_();
    if (!force) {
        if (now - barStart_ < kFirstDrawDelay) {
            return;
        }
        if (lastDraw_ >= 0 && now - lastDraw_ < kRedrawInterval) {
            return;
        }
    }
    Write("\r" + BarText() + "\x1b[K");
    barShown_ = true;
    lastDraw_ = now;
}

}  // namespace vorlan::flash
