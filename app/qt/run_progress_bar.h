// The progress bar a main window hands to a run: range 0 to 100 unless the
// engine says otherwise, no percentage text, drawn in blocks or as one smooth
// bar. Implements the engine's ProgressBarView. UI thread only.
#pragma once

#include <QProgressBar>

#include "engine/views.h"

namespace vorlan {

class RunProgressBar final : public QProgressBar, public ProgressBarView {
    Q_OBJECT

public:
    explicit RunProgressBar(QWidget* parent);

    void SetPosition(int position) override { setValue(position); }
    void SetMaximum(int maximum) override { setMaximum(maximum); }
    void SetSmooth(bool smooth) override;
    bool Smooth() const { return smooth_; }

private:
    bool smooth_ = false;
};

}  // namespace vorlan
