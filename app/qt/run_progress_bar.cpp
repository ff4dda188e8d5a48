#include "app/qt/run_progress_bar.h"

namespace vorlan {

RunProgressBar::RunProgressBar(QWidget* parent) : QProgressBar(parent) {
    setRange(0, 100);
    setValue(0);
    setTextVisible(false);
    SetSmooth(false);
}

void RunProgressBar::SetSmooth(bool smooth) {
    smooth_ = smooth;
    // Classic blocks or one bar; the frame is the same either way.
    const QString chunk = smooth ? QStringLiteral("QProgressBar::chunk { background: #000080; }")
                                 : QStringLiteral(
                                       "QProgressBar::chunk { background: #000080;"
                                       " width: 8px; margin: 1px; }");
    setStyleSheet(QStringLiteral("QProgressBar { border: 1px solid #808080;"
                                 " background: palette(base); }") +
                  chunk);
}

}  // namespace vorlan
