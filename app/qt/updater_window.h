// The Updater window: product label, logo, a coloured result line, one start
// button that turns into a stop button during a run, a progress bar and a
// status bar of four panels (port, step, identification, image). It is the
// main window of builds whose version string does not select the Upgrade
// window; in the others it is built after the Upgrade window and never shown.
//
// The status operations reach it through UpdaterWindowView; the engine gets
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
class QLabel;
class QPushButton;

namespace vorlan {

class PanelStatusBar;
class RunProgressBar;

class UpdaterWindow final : public QtDesktopWindow<QMainWindow, UpdaterWindowControls> {
    Q_OBJECT

public:
    // Registers itself with the status operations before anything else.
    // Throws what the notifier start and the settings store throw (a socket
    // that cannot be bound, a "com" that is not text).
    explicit UpdaterWindow(QWidget* parent = nullptr);
    ~UpdaterWindow() override;

    // UpdaterWindowView
    StatusBarView& StatusBar() override;
    void ShowResultLine(const std::string& text, StatusColour background,
                        StatusColour textColour) override;
    void SetStartButtonVisible(bool visible) override;
    void SetStopButtonVisible(bool visible) override;
    void FocusStartButton() override;
    void EnableChangePortMenu() override;
    void ShowIdentityLine(const std::string& text) override;
    void ShowReleaseLine(const std::string& text) override;
    void HideReleaseLine() override;

    // UpdaterWindowControls
    ProgressBarView& ProgressBar() override;
    void SetStatusBarBackground(StatusColour colour) override;
    void ShowLogo(LogoChoice logo) override;
    void SetProductLabel(const std::string& text) override;
    std::string ProductLabel() const override;
    void HideResultLines() override;
    void SetResultTip(const std::string& tip) override;

    // Event handlers (app/main_windows.h says what each does).
    void Button1Click() { behaviour_.Button1Click(); }
    void Button2Click() { behaviour_.Button2Click(); }
    void S1Click() { behaviour_.S1Click(); }
    void Label1DblClick() { behaviour_.Label1DblClick(); }
    void FormClose() { behaviour_.FormClose(); }

    // Controls, for the status operations' view and for tests.
    QPushButton* Button1() const { return button1_; }
    QPushButton* Button2() const { return button2_; }
    QLabel* Image1() const { return image1_; }
    QLabel* Image2() const { return image2_; }
    QLabel* Label1() const { return label1_; }
    QLabel* Label2() const { return label2_; }
    QLabel* Label3() const { return label3_; }
    QLabel* Label4() const { return label4_; }
    RunProgressBar* ProgressBar1() const { return progressBar1_; }
    PanelStatusBar* StatusBar1() const { return statusBar1_; }
    QAction* S1() const { return s1_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateControls();

    UpdaterWindowBehaviour behaviour_;
    QPushButton* button1_ = nullptr;
    QPushButton* button2_ = nullptr;
    QLabel* image1_ = nullptr;
    QLabel* image2_ = nullptr;
    QFrame* bevel1_ = nullptr;
    QLabel* label1_ = nullptr;
    QFrame* bevel2_ = nullptr;
    QLabel* label3_ = nullptr;
    QLabel* label4_ = nullptr;
    QLabel* label2_ = nullptr;
    RunProgressBar* progressBar1_ = nullptr;
    PanelStatusBar* statusBar1_ = nullptr;
    QAction* s1_ = nullptr;
};

}  // namespace vorlan
