#include "app/qt/upgrade_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QPushButton>

#include "app/qt/panel_status_bar.h"
#include "app/qt/run_progress_bar.h"
#include "app/qt/window_look.h"
#include "app/qt/window_references.h"
#include "engine/status_reporting.h"

namespace vorlan {

namespace {

constexpr int kClientWidth = 606;
constexpr int kClientHeight = 181;

QPushButton* BigButton(const QString& caption, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setGeometry(175, 25, 249, 65);
    button->setFont(PixelFont(kDefaultFace, 33, true));
    return button;
}

}  // namespace

UpgradeWindow::UpgradeWindow(QWidget* parent)
    : QMainWindow(parent), behaviour_(*this, QtDoubleClickMs) {
    InstallApplicationTitleSink();
    CreateControls();
    behaviour_.Construct();
}

UpgradeWindow::~UpgradeWindow() = default;

void UpgradeWindow::CreateControls() {
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    setFont(PixelFont(kDefaultFace, 11));
    move(267, 120);

    auto* client = new QWidget(this);
    client->setFixedSize(kClientWidth, kClientHeight);
    setCentralWidget(client);

    panel1_ = new QFrame(client);
    panel1_->setGeometry(8, 8, 585, 113);
    panel1_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel1_->setLineWidth(2);
    button1_ = BigButton(QStringLiteral("START"), panel1_);
    button2_ = BigButton(QStringLiteral("STOP"), panel1_);
    button2_->hide();

    progressBar1_ = new RunProgressBar(client);
    progressBar1_->setGeometry(5, 128, 596, 17);
    progressBar1_->SetSmooth(true);

    statusBar1_ = new PanelStatusBar({50, 130, 130, 140, 20}, client);
    statusBar1_->setGeometry(0, 152, kClientWidth, 29);

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

void UpgradeWindow::SetTitle(const std::string& title) {
    setWindowTitle(QString::fromStdString(title));
}

ProgressBarView& UpgradeWindow::ProgressBar() {
    return *progressBar1_;
}

void UpgradeWindow::SetStatusBarBackground(StatusColour colour) {
    SetBackground(*statusBar1_, ToQColor(colour));
}

void UpgradeWindow::ShowPortSetupWindow() {
    if (QWidget* portSetup = Windows().portSetup)
        portSetup->show();
}

void UpgradeWindow::SetResultTip(const std::string& tip) {
    if (QLabel* panel = statusBar1_->Panel(StepPanelIndex))
        panel->setToolTip(QString::fromStdString(tip));
}

void UpgradeWindow::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
    if (mainWindow_)
        QCoreApplication::exit(0);
}

}  // namespace vorlan
