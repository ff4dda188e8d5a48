// The Upgrade window: one large START button that turns into STOP during a
// run, a smooth progress bar and a status bar of five panels whose step panel
// carries every step text and every result. It is the main window of builds
// whose version string contains "HNX" or "BRQ"; while it exists the program
// is in Upgrade mode.
//
// The status operations reach it through UpgradeWindowView; the engine gets
// its progress bar and status bar for a run. UI thread only. Runs block in
// the engine's pauses, which handle this window's events nested inside them.
#pragma once

#include <QMainWindow>
#include <string>

#include "app/main_windows.h"
#include "app/qt/qt_desktop_window.h"

class QAction;
class QCloseEvent;
class QFrame;
class QPushButton;

namespace vorlan {

class PanelStatusBar;
class RunProgressBar;

class UpgradeWindow final : public QtDesktopWindow<QMainWindow, UpgradeWindowControls> {
    Q_OBJECT

public:
    // Registers itself with the status operations before anything else, which
    // turns Upgrade mode on. Throws what the notifier start and the settings
    // store throw.
    explicit UpgradeWindow(QWidget* parent = nullptr);
    ~UpgradeWindow() override;

    // UpgradeWindowView
    StatusBarView& StatusBar() override;
    void SetStartButtonVisible(bool visible) override;
    void SetStopButtonVisible(bool visible) override;
    void FocusStartButton() override;

    // UpgradeWindowControls
    ProgressBarView& ProgressBar() override;
    void SetStatusBarBackground(StatusColour colour) override;
    void SetResultTip(const std::string& tip) override;

    // Event handlers (app/main_windows.h says what each does).
    void Button1Click() { behaviour_.Button1Click(); }
    void Button2Click() { behaviour_.Button2Click(); }
    void SerialPort1Click() { behaviour_.SerialPort1Click(); }
    void FormClose() { behaviour_.FormClose(); }

    QFrame* Panel1() const { return panel1_; }
    QPushButton* Button1() const { return button1_; }
    QPushButton* Button2() const { return button2_; }
    RunProgressBar* ProgressBar1() const { return progressBar1_; }
    PanelStatusBar* StatusBar1() const { return statusBar1_; }
    QAction* SerialPort1() const { return serialPort1_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateControls();

    UpgradeWindowBehaviour behaviour_;
    QFrame* panel1_ = nullptr;
    QPushButton* button1_ = nullptr;
    QPushButton* button2_ = nullptr;
    RunProgressBar* progressBar1_ = nullptr;
    PanelStatusBar* statusBar1_ = nullptr;
    QAction* serialPort1_ = nullptr;
};

}  // namespace vorlan
