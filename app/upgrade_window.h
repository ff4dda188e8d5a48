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

#include "app/start_click_guard.h"
#include "engine/views.h"

class QAction;
class QCloseEvent;
class QFrame;
class QPushButton;

namespace vorlan {

class PanelStatusBar;
class RunProgressBar;

std::string UpgradeTitle();

class UpgradeWindow final : public QMainWindow, public UpgradeWindowView {
    Q_OBJECT

public:
    // Registers itself with the status operations before anything else, which
    // turns Upgrade mode on. Throws what the notifier start and the settings
    // store throw.
    explicit UpgradeWindow(QWidget* parent = nullptr);
    ~UpgradeWindow() override;

    // Closing a main window ends the program (after a run in progress has
    // returned).
    void SetMainWindow(bool main) { mainWindow_ = main; }

    // UpgradeWindowView
    StatusBarView& StatusBar() override;
    void SetStartButtonVisible(bool visible) override;
    void SetStopButtonVisible(bool visible) override;
    void FocusStartButton() override;

    // Event handlers.
    void Button1Click();      // START: one run, search then program
    void Button2Click();      // STOP: START back at once, stop request raised;
                              // ignored as the twin of a double-click on START
    void SerialPort1Click();  // "Serial Port": shows Port setup
    void FormClose();         // stops a run, closes the port, stores "com"

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

    bool mainWindow_ = false;
    StartClickGuard startClick_;
    QFrame* panel1_ = nullptr;
    QPushButton* button1_ = nullptr;
    QPushButton* button2_ = nullptr;
    RunProgressBar* progressBar1_ = nullptr;
    PanelStatusBar* statusBar1_ = nullptr;
    QAction* serialPort1_ = nullptr;
};

}  // namespace vorlan
