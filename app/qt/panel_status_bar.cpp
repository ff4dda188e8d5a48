#include "app/qt/panel_status_bar.h"

#include <QFontInfo>
#include <QLabel>
#include <algorithm>

#include "app/qt/window_look.h"

namespace vorlan {

PanelStatusBar::PanelStatusBar(std::span<const int> widths, QWidget* parent) : QStatusBar(parent) {
    setSizeGripEnabled(false);
    // The panels sit side by side at their own widths, as on a classic
    // status bar, rather than in QStatusBar's spaced item layout.
    for (const int width : widths) {
        auto* panel = new QLabel(this);
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setIndent(2);
        panels_.push_back(panel);
        widths_.push_back(width - kPanelGap);
    }
    PlacePanels();
}

void PanelStatusBar::resizeEvent(QResizeEvent* event) {
    QStatusBar::resizeEvent(event);
    PlacePanels();
}

void PanelStatusBar::PlacePanels() {
    int left = 0;
    for (std::size_t i = 0; i < panels_.size(); ++i) {
        int width = widths_[i];
        // As on a classic status bar, the last panel reaches the bar's end,
        // so a long last text ("Loaded 64512 bytes ...") has room.
        if (i + 1 == panels_.size())
            width = std::max(width, this->width() - left);
        panels_[i]->setGeometry(left, kPanelGap, width, std::max(0, height() - kPanelGap));
        left += width + kPanelGap;
    }
}

void PanelStatusBar::SetPanelText(int panel, const std::string& text) {
    QLabel* label = Panel(panel);
    if (label == nullptr)
        return;
    // Long step texts ("Program 15488 (03c80)") shrink rather than lose
    // their end; the bar's own face is the design size.
    const QFontInfo face(font());
    SetFittedText(*label, QString::fromStdString(text), face.pixelSize(), kSmallestPanelPixels);
}

void PanelStatusBar::RepaintNow() {
    repaint();
}

QString PanelStatusBar::PanelText(int panel) const {
    const QLabel* label = Panel(panel);
    return label != nullptr ? label->text() : QString();
}

QLabel* PanelStatusBar::Panel(int panel) const {
    if (panel < 0 || panel >= PanelCount())
        return nullptr;
    return panels_[static_cast<std::size_t>(panel)];
}

}  // namespace vorlan
