#include "app/qt/updater_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QPushButton>

#include "app/qt/logos.h"
#include "app/qt/panel_status_bar.h"
#include "app/qt/run_progress_bar.h"
#include "app/qt/window_look.h"
#include "app/qt/window_references.h"

namespace vorlan {

namespace {

constexpr int kClientWidth = 511;
constexpr int kIdentityLinePixels = 24;  // Label3
constexpr int kReleaseLinePixels = 16;   // Label4
constexpr int kResultLinePixels = 24;    // Label2
constexpr int kClientHeight = 265;

QLabel* CentredLabel(QWidget* parent, const QRect& place, const QFont& font) {
    auto* label = new QLabel(parent);
    label->setGeometry(place);
    label->setAlignment(Qt::AlignCenter);
    label->setFont(font);
    return label;
}

QFrame* SunkenBevel(QWidget* parent, const QRect& place) {
    auto* bevel = new QFrame(parent);
    bevel->setGeometry(place);
    bevel->setFrameStyle(QFrame::Box | QFrame::Sunken);
    return bevel;
}

// Shows a line in black on the window's own background and paints it at
// once: the run goes on before the next events are handled.
void ShowPlainLine(QLabel& label, const std::string& text, int designPixels) {
    SetFittedText(label, QString::fromStdString(text), designPixels);
    label.setPalette(QPalette());
    label.setAutoFillBackground(false);
    label.show();
    label.repaint();
}

}  // namespace

UpdaterWindow::UpdaterWindow(QWidget* parent)
    : QMainWindow(parent), behaviour_(*this, QtDoubleClickMs) {
    InstallApplicationTitleSink();
    CreateControls();
    behaviour_.Construct();
}

UpdaterWindow::~UpdaterWindow() = default;

void UpdaterWindow::CreateControls() {
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFont(PixelFont(kDefaultFace, 11));
    move(450, 212);

    auto* client = new QWidget(this);
    client->setFixedSize(kClientWidth, kClientHeight);
    setCentralWidget(client);

    button1_ = new QPushButton(tr("&Update"), client);
    button1_->setGeometry(8, 8, 75, 25);
    button2_ = new QPushButton(tr("&Stop"), client);
    button2_->setGeometry(8, 8, 75, 25);
    button2_->hide();

    image1_ = new QLabel(client);
    image1_->setGeometry(396, 0, 109, 45);
    image1_->setAlignment(Qt::AlignCenter);
    image1_->setPixmap(DrawChipLogo(QSize(109, 45)));
    image2_ = new QLabel(client);
    image2_->setGeometry(372, 0, 135, 44);
    image2_->setAlignment(Qt::AlignCenter);
    image2_->setPixmap(DrawWordmarkLogo(QSize(135, 44)));
    image2_->hide();

    bevel1_ = SunkenBevel(client, QRect(8, 48, 497, 50));
    label1_ =
        CentredLabel(client, QRect(10, 51, 493, 45), PixelFont(QStringLiteral("Times"), 40, true));
    label1_->installEventFilter(this);

    bevel2_ = SunkenBevel(client, QRect(8, 110, 497, 108));
    label3_ = CentredLabel(client, QRect(13, 119, 484, 29),
                           PixelFont(kDefaultFace, kIdentityLinePixels, true));
    label3_->hide();
    label4_ = CentredLabel(client, QRect(13, 156, 484, 20),
                           PixelFont(kDefaultFace, kReleaseLinePixels, true));
    label4_->hide();
    label2_ = CentredLabel(client, QRect(13, 182, 484, 29),
                           PixelFont(kDefaultFace, kResultLinePixels, true));
    label2_->hide();

    progressBar1_ = new RunProgressBar(client);
    progressBar1_->setGeometry(8, 224, 497, 16);

    statusBar1_ = new PanelStatusBar({50, 130, 100, 50}, client);
    statusBar1_->setGeometry(0, 246, kClientWidth, 19);

    s1_ = menuBar()->addAction(tr("&Change port"));

    connect(button1_, &QPushButton::clicked, this, &UpdaterWindow::Button1Click);
    connect(button2_, &QPushButton::clicked, this, &UpdaterWindow::Button2Click);
    connect(s1_, &QAction::triggered, this, &UpdaterWindow::S1Click);

    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void UpdaterWindow::SetTitle(const std::string& title) {
    setWindowTitle(QString::fromStdString(title));
}

ProgressBarView& UpdaterWindow::ProgressBar() {
    return *progressBar1_;
}

void UpdaterWindow::SetStatusBarBackground(StatusColour colour) {
    SetBackground(*statusBar1_, ToQColor(colour));
}

void UpdaterWindow::ShowLogo(LogoChoice logo) {
    image1_->setVisible(logo == LogoChoice::kChip);
    image2_->setVisible(logo == LogoChoice::kWordmark);
}

void UpdaterWindow::SetProductLabel(const std::string& text) {
    label1_->setText(QString::fromStdString(text));
}

std::string UpdaterWindow::ProductLabel() const {
    return label1_->text().toStdString();
}

void UpdaterWindow::HideResultLines() {
    for (QLabel* line : {label2_, label3_}) {
        line->hide();
        centralWidget()->repaint(line->geometry());
    }
}

void UpdaterWindow::ShowPortSetupWindow() {
    if (QWidget* portSetup = Windows().portSetup)
        portSetup->show();
}

void UpdaterWindow::ShowVersionListWindow(const std::string& title) {
    QWidget* versionList = Windows().versionList;
    if (versionList == nullptr)
        return;
    versionList->setWindowTitle(QString::fromStdString(title));
    versionList->show();
}

void UpdaterWindow::SetResultTip(const std::string& tip) {
    label2_->setToolTip(QString::fromStdString(tip));
}

StatusBarView& UpdaterWindow::StatusBar() {
    return *statusBar1_;
}

void UpdaterWindow::ShowResultLine(const std::string& text, StatusColour background,
                                   StatusColour textColour) {
    SetFittedText(*label2_, QString::fromStdString(text), kResultLinePixels);
    label2_->show();
    QPalette palette = label2_->palette();
    palette.setColor(QPalette::Window, ToQColor(background));
    palette.setColor(QPalette::WindowText, ToQColor(textColour));
    label2_->setPalette(palette);
    label2_->setAutoFillBackground(true);
}

void UpdaterWindow::SetStartButtonVisible(bool visible) {
    button1_->setVisible(visible);
}
void UpdaterWindow::SetStopButtonVisible(bool visible) {
    button2_->setVisible(visible);
}
void UpdaterWindow::FocusStartButton() {
    button1_->setFocus(Qt::OtherFocusReason);
}
void UpdaterWindow::EnableChangePortMenu() {
    s1_->setEnabled(true);
}
void UpdaterWindow::ShowIdentityLine(const std::string& text) {
    ShowPlainLine(*label3_, text, kIdentityLinePixels);
}
void UpdaterWindow::ShowReleaseLine(const std::string& text) {
    ShowPlainLine(*label4_, text, kReleaseLinePixels);
}
void UpdaterWindow::HideReleaseLine() {
    label4_->hide();
}

void UpdaterWindow::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
    // Leaves the message loop once the handler that runs below us (a run,
    // perhaps) has returned to it.
    if (mainWindow_)
        QCoreApplication::exit(0);
}

bool UpdaterWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == label1_ && event->type() == QEvent::MouseButtonDblClick) {
        Label1DblClick();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace vorlan
