#include "app/qt/updater_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QPushButton>

#include "app/qt/logos.h"
#include "app/qt/panel_status_bar.h"
#include "app/qt/run_progress_bar.h"
#include "app/qt/window_look.h"

namespace vorlan {

namespace {

constexpr const UpdaterWindowLayout& kLayout = kUpdaterLayout;

QLabel* CentredLabel(QWidget* parent, const LayoutRect& place, const QFont& font) {
    auto* label = new QLabel(parent);
    label->setGeometry(ToQRect(place));
    label->setAlignment(Qt::AlignCenter);
    label->setFont(font);
    return label;
}

QFrame* SunkenBevel(QWidget* parent, const LayoutRect& place) {
    auto* bevel = new QFrame(parent);
    bevel->setGeometry(ToQRect(place));
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
    : QtDesktopWindow(parent), behaviour_(*this, QtDoubleClickMs) {
    InstallApplicationTitleSink();
    CreateControls();
    behaviour_.Construct();
}

UpdaterWindow::~UpdaterWindow() = default;

void UpdaterWindow::CreateControls() {
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFont(PixelFont(kDefaultFace, kFacePixels));
    move(kLayout.position.x, kLayout.position.y);

    auto* client = new QWidget(this);
    client->setFixedSize(kLayout.client.width, kLayout.client.height);
    setCentralWidget(client);

    button1_ = new QPushButton(tr("&Update"), client);
    button1_->setGeometry(ToQRect(kLayout.startStop));
    button2_ = new QPushButton(tr("&Stop"), client);
    button2_->setGeometry(ToQRect(kLayout.startStop));
    button2_->hide();

    image1_ = new QLabel(client);
    image1_->setGeometry(ToQRect(kLayout.image1));
    image1_->setAlignment(Qt::AlignCenter);
    image1_->setPixmap(DrawChipLogo(image1_->size()));
    image2_ = new QLabel(client);
    image2_->setGeometry(ToQRect(kLayout.image2));
    image2_->setAlignment(Qt::AlignCenter);
    image2_->setPixmap(DrawWordmarkLogo(image2_->size()));
    image2_->hide();

    bevel1_ = SunkenBevel(client, kLayout.bevel1);
    label1_ = CentredLabel(client, kLayout.label1,
                           PixelFont(QStringLiteral("Times"), kLayout.label1Pixels, true));
    label1_->installEventFilter(this);

    bevel2_ = SunkenBevel(client, kLayout.bevel2);
    label3_ =
        CentredLabel(client, kLayout.label3, PixelFont(kDefaultFace, kLayout.label3Pixels, true));
    label3_->hide();
    label4_ =
        CentredLabel(client, kLayout.label4, PixelFont(kDefaultFace, kLayout.label4Pixels, true));
    label4_->hide();
    label2_ =
        CentredLabel(client, kLayout.label2, PixelFont(kDefaultFace, kLayout.label2Pixels, true));
    label2_->hide();

    progressBar1_ = new RunProgressBar(client);
    progressBar1_->setGeometry(ToQRect(kLayout.progressBar1));

    statusBar1_ = new PanelStatusBar(kLayout.panelWidths, client);
    statusBar1_->setGeometry(ToQRect(kLayout.statusBar1));

    s1_ = menuBar()->addAction(tr("&Change port"));

    connect(button1_, &QPushButton::clicked, this, &UpdaterWindow::Button1Click);
    connect(button2_, &QPushButton::clicked, this, &UpdaterWindow::Button2Click);
    connect(s1_, &QAction::triggered, this, &UpdaterWindow::S1Click);

    layout()->setSizeConstraint(QLayout::SetFixedSize);
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

void UpdaterWindow::SetResultTip(const std::string& tip) {
    label2_->setToolTip(QString::fromStdString(tip));
}

StatusBarView& UpdaterWindow::StatusBar() {
    return *statusBar1_;
}

void UpdaterWindow::ShowResultLine(const std::string& text, StatusColour background,
                                   StatusColour textColour) {
    SetFittedText(*label2_, QString::fromStdString(text), kLayout.label2Pixels);
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
    ShowPlainLine(*label3_, text, kLayout.label3Pixels);
}
void UpdaterWindow::ShowReleaseLine(const std::string& text) {
    ShowPlainLine(*label4_, text, kLayout.label4Pixels);
}
void UpdaterWindow::HideReleaseLine() {
    label4_->hide();
}

void UpdaterWindow::closeEvent(QCloseEvent* event) {
    behaviour_.Closed();
    event->accept();
}

bool UpdaterWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == label1_ && event->type() == QEvent::MouseButtonDblClick) {
        Label1DblClick();
        return true;
    }
    return QtDesktopWindow::eventFilter(watched, event);
}

}  // namespace vorlan
