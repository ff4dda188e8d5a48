#include "app/upgrade_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFrame>
#include <QLayout>
#include <QMenuBar>
#include <QPushButton>

#include "app/build_version.h"
#include "app/panel_status_bar.h"
#include "app/port_problem_display.h"
#include "app/run_progress_bar.h"
#include "app/window_look.h"
#include "app/window_references.h"
#include "catalogue/image_table.h"
#include "engine/link_state.h"
#include "engine/status_reporting.h"
#include "engine/update_run.h"
#include "ports/port_selection.h"
#include "ports/port_setting.h"
#include "ports/status_notifier.h"

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

std::string UpgradeTitle() {
    return std::string("Upgrade 1.0") + " -   " + BuildVersion() + "   - " + "Jan 11 2012";
}

UpgradeWindow::UpgradeWindow(QWidget* parent) : QMainWindow(parent) {
    RegisterUpgradeWindow(this);
    try {
        CreateControls();
        StartStatusNotifier(CommandLine(), CurrentNotifierPorts().local,
                            CurrentNotifierPorts().destination);
        setWindowTitle(QString::fromStdString(UpgradeTitle()));
        SetApplicationTitle(BuildVersion());
        RestorePortFromSetting();
        InstallPortProblemDisplay();
        BuildImageTable();
        ShowPortOnStatusBar(*statusBar1_);
    } catch (...) {
        RegisterUpgradeWindow(nullptr);
        throw;
    }
}

UpgradeWindow::~UpgradeWindow() {
    if (RegisteredUpgradeWindow() == this)
        RegisterUpgradeWindow(nullptr);
}

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

void UpgradeWindow::Button1Click() {
    if (!IsRunActive())
        startClick_.RunStarting();
    RunUpdate(*progressBar1_, *statusBar1_);
}

void UpgradeWindow::Button2Click() {
    if (startClick_.IsSecondClickOfStart())
        return;
    ShowIdleButtons();
    RequestStop();
}

void UpgradeWindow::SerialPort1Click() {
    if (QWidget* portSetup = Windows().portSetup)
        portSetup->show();
}

void UpgradeWindow::FormClose() {
    StorePortOnClose();
}

void UpgradeWindow::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
    if (mainWindow_)
        QCoreApplication::exit(0);
}

}  // namespace vorlan
