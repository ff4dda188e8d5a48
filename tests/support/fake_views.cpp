#include "tests/support/fake_views.h"

namespace vorlan::test {

void FakeProgressBar::SetPosition(int position) {
    position_ = position;
    positions_.push_back(position);
}

void FakeStatusBar::SetPanelText(int panel, const std::string& text) {
    history_.emplace_back(panel, text);
    if (panel >= 0 && panel < panelCount_)
        panels_[panel] = text;
}

std::string FakeStatusBar::Panel(int panel) const {
    auto it = panels_.find(panel);
    return it == panels_.end() ? std::string() : it->second;
}

std::vector<std::string> FakeStatusBar::PanelHistory(int panel) const {
    std::vector<std::string> texts;
    for (const auto& [index, text] : history_) {
        if (index == panel)
            texts.push_back(text);
    }
    return texts;
}

void FakeUpdaterWindow::ShowResultLine(const std::string& text, StatusColour background,
                                       StatusColour textColour) {
    resultText = text;
    resultBackground = background;
    resultTextColour = textColour;
    resultVisible = true;
    ++resultWrites;
}

void FakeUpdaterWindow::FocusStartButton() {
    startFocused = true;
    ++focusCalls;
}

void FakeUpdaterWindow::ShowReleaseLine(const std::string& text) {
    releaseLine = text;
    releaseVisible = true;
}

}  // namespace vorlan::test
