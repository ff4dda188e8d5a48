// A status bar made of fixed-width panels, left to right, as the main windows
// have it; the last panel reaches to the bar's end. Implements the engine's StatusBarView. UI
// thread only.
#pragma once

#include <QStatusBar>
#include <span>
#include <string>
#include <vector>

#include "engine/views.h"

class QLabel;

namespace vorlan {

class PanelStatusBar final : public QStatusBar, public StatusBarView {
    Q_OBJECT

public:
    // widths: one per panel, in pixels.
    PanelStatusBar(std::span<const int> widths, QWidget* parent);

    // A panel past the last one is ignored. A text too long for its panel
    // is drawn in a smaller face, down to kSmallestPanelPixels.
    void SetPanelText(int panel, const std::string& text) override;
    void RepaintNow() override;

    int PanelCount() const { return static_cast<int>(panels_.size()); }
    // The panel's text, empty for a panel past the last one.
    QString PanelText(int panel) const;
    QLabel* Panel(int panel) const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // Room between two panels, taken from the left panel's width.
    static constexpr int kPanelGap = 2;
    static constexpr int kSmallestPanelPixels = 8;
    void PlacePanels();

    std::vector<QLabel*> panels_;
    std::vector<int> widths_;  // each panel's own width, without the gap
};

}  // namespace vorlan
