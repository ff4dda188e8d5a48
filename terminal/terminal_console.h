// The terminal that vorlan-flash writes to: one line per text, and on a
// terminal a progress bar on the last line, redrawn in place. Single thread
// (the run's); output is flushed after every line so that a pipe reader sees
// each step as it happens.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

namespace vorlan::flash {

class TerminalConsole {
public:
    // out: not owned. drawBar: draw the progress bar (only on a terminal).
    // now: seconds on a steady clock. bytesExchanged: bytes written to and
    // read from the board so far, for the rate on the bar.
    TerminalConsole(std::FILE* out, bool drawBar, std::function<double()> now,
                    std::function<std::uint64_t()> bytesExchanged);

    // Prints text on a line of its own, unless it repeats the line printed
    // just before. Empty texts (panels being cleared) are not printed.
    void PrintLine(const std::string& text);

    void SetBarMaximum(int maximum);
    void SetBarPosition(int position);
    // Removes the bar from the screen (before the final lines).
    void ClearBar();
    // On a terminal, text in the bar's place (a waiting line), until the
    // next line or ClearBar; elsewhere nothing.
    void ShowWaiting(const std::string& text);

    // The bar's text for the current state, without control characters.
    std::string BarText() const;

    // From now on each line is a JSON object instead, for --json:
    // {"event":"step","port":port,"text":...,"seconds":...}; no bar.
    void WriteJsonSteps(const std::string& port);
    // From now on lines are only remembered, not printed (--quiet); no bar.
    void Silence();
    // From now on each text line goes out as a line record (--records).
    void WriteRecords() { records_ = true; }

private:
    void Write(const std::string& text);
    void DrawBar(bool force);

    std::FILE* out_;
    bool drawBar_;
    std::function<double()> now_;
    std::function<std::uint64_t()> bytesExchanged_;

    std::string jsonPort_;
    bool json_ = false;
    bool silent_ = false;
    bool records_ = false;
    std::string lastLine_;
    bool anyLine_ = false;

    int maximum_ = 100;
    int position_ = 0;
    bool countingDown_ = false;  // the position fell since the maximum was set
    double barStart_ = 0;
    std::uint64_t barStartBytes_ = 0;
    double lastDraw_ = -1;
    bool barShown_ = false;
};

}  // namespace vorlan::flash
