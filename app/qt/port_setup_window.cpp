#include "app/qt/port_setup_window.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QString>
#include <utility>

#include "app/qt/window_look.h"
#include "app/window_titles.h"

namespace vorlan {

namespace {

constexpr const PortSetupWindowLayout& kLayout = kPortSetupLayout;

}  // namespace

PortSetupWindow::PortSetupWindow(QWidget* parent, std::string sysfsRoot)
    : QtDesktopWindow(parent),
      // Created in tab order: Button1, Button2, ComboBox1.
      Button1(new QPushButton(QStringLiteral("&Ok"), this)),
      Button2(new QPushButton(QStringLiteral("&Cancel"), this)),
      ComboBox1(new QComboBox(this)),
      Label1(new QLabel(QStringLiteral("Port :"), this)),
      behaviour_(*this, std::move(sysfsRoot)) {
    setWindowTitle(QString::fromLatin1(kPortSetupTitle));
    setFont(PixelFont(kDefaultFace, kFacePixels));
    setModal(false);
    setFixedSize(kLayout.client.width, kLayout.client.height);

    Button1->setGeometry(ToQRect(kLayout.button1));
    Button2->setGeometry(ToQRect(kLayout.button2));
    ComboBox1->setGeometry(ToQRect(kLayout.comboBox1));
    Label1->setGeometry(ToQRect(kLayout.label1));
    // The caption sizes itself to its text, as far as the list to its right allows.
    const int room = kLayout.comboBox1.x - kLayout.label1.x - 2;
    Label1->resize(qBound(kLayout.label1.width, Label1->sizeHint().width(), room),
                   kLayout.label1.height);
    Button1->setFocus();

    connect(Button1, &QPushButton::clicked, this, [this] { behaviour_.Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, [this] { behaviour_.Button2Click(); });
}

void PortSetupWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Only when the window becomes visible, not when the system merely
    // repaints or restores it.
    if (!event->spontaneous())
        behaviour_.FormShow();
}

void PortSetupWindow::SetEntries(const std::vector<std::string>& friendlyNames) {
    ComboBox1->clear();
    for (const std::string& name : friendlyNames) ComboBox1->addItem(QString::fromStdString(name));
}

void PortSetupWindow::SelectEntry(std::int16_t position) {
    ComboBox1->setCurrentIndex(position < ComboBox1->count() ? position : -1);
}

std::int16_t PortSetupWindow::SelectedEntry() const {
    return static_cast<std::int16_t>(ComboBox1->currentIndex());
}

}  // namespace vorlan
