#include "app/qt/upgrade_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QPushButton>

#include "app/qt/panel_status_bar.h"
#include "app/qt/run_progress_bar.h"
#include "app/qt/window_look.h"
#include "engine/status_reporting.h"

namespace vorlan {

namespace {

constexpr const UpgradeWindowLayout& kLayout = kUpgradeLayout;

QPushButton* BigButton(const QString& caption, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setGeometry(ToQRect(kLayout.startStop));
    button->setFont(PixelFont(kDefaultFace, kLayout.startStopPixels, true));
    return button;
}

}  // namespace

UpgradeWindow::UpgradeWindow(QWidget* parent)
    : QtDesktopWindow(parent), behaviour_(*this, QtDoubleClickMs) {
    InstallApplicationTitleSink();
    CreateControls();
    behaviour_.Construct();
}

UpgradeWindow::~UpgradeWindow() = default;

void UpgradeWindow::CreateControls() {
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    setFont(PixelFont(kDefaultFace, kFacePixels));
    move(kLayout.position.x, kLayout.position.y);

    auto* client = new QWidget(this);
    client->setFixedSize(kLayout.client.width, kLayout.client.height);
    setCentralWidget(client);

    panel1_ = new QFrame(client);
    panel1_->setGeometry(ToQRect(kLayout.panel1));
    panel1_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel1_->setLineWidth(2);
    button1_ = BigButton(QStringLiteral("START"), panel1_);
    button2_ = BigButton(QStringLiteral("STOP"), panel1_);
    button2_->hide();

    progressBar1_ = new RunProgressBar(client);
    progressBar1_->setGeometry(ToQRect(kLayout.progressBar1));
    progressBar1_->SetSmooth(true);

    statusBar1_ = new PanelStatusBar(kLayout.panelWidths, client);
    statusBar1_->setGeometry(ToQRect(kLayout.statusBar1));

    serialPort1_ = menuBar()->addAction(QStringLiteral("Serial Port"));

    connect(button1_, &QPushButton::clicked, this, &UpgradeWindow::Button1Click);
    connect(button2_, &QPushButton::clicked, this, &UpgradeWindow::Button2Click);
    connect(serialPort1_, &QAction::triggered, this, &UpgradeWindow::SerialPort1Click);

    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

StatusBarView& UpgradeWindow::StatusBar() {
    return *statusBar1_;
}
void UpgradeWindow::SetStartButtonVisible(bool visible) {
    button1_->setVisible(visible);
}
void UpgradeWindow::SetStopButtonVisible(bool visible) {
    button2_->setVisible(visible);
}
void UpgradeWindow::FocusStartButton() {
    button1_->setFocus(Qt::OtherFocusReason);
}

ProgressBarView& UpgradeWindow::ProgressBar() {
    return *progressBar1_;
}

void UpgradeWindow::SetStatusBarBackground(StatusColour colour) {
    SetBackground(*statusBar1_, ToQColor(colour));
}

void UpgradeWindow::SetResultTip(const std::string& tip) {
    if (QLabel* panel = statusBar1_->Panel(StepPanelIndex))
        panel->setToolTip(QString::fromStdString(tip));
}

void UpgradeWindow::closeEvent(QCloseEvent* event) {
    behaviour_.Closed();
    event->accept();
}

}  // namespace vorlan
