#include "app/qt/port_setup_window.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QString>
#include <utility>

#include "app/port_setup_rules.h"
#include "app/qt/window_look.h"
#include "app/window_titles.h"
#include "ports/port_enumeration.h"
#include "ports/port_selection.h"

namespace vorlan {

PortSetupWindow::PortSetupWindow(QWidget* parent, std::string sysfsRoot)
    : QDialog(parent), sysfsRoot_(std::move(sysfsRoot)) {
    setWindowTitle(QString::fromLatin1(kPortSetupTitle));
    setFont(PixelFont(kDefaultFace, 11));  // 8 points
    setModal(false);
    setFixedSize(456, 94);

    Button1 = new QPushButton(QStringLiteral("&Ok"), this);
    Button1->setGeometry(293, 56, 75, 25);
    Button2 = new QPushButton(QStringLiteral("&Cancel"), this);
    Button2->setGeometry(373, 56, 75, 25);

    ComboBox1 = new QComboBox(this);
    ComboBox1->setGeometry(41, 16, 408, 21);
    // The entries of the form at design time; every showing replaces them.
    for (const std::string& entry : DesignTimePortEntries())
        ComboBox1->addItem(QString::fromStdString(entry));
    ComboBox1->setCurrentIndex(0);

    Label1 = new QLabel(QStringLiteral("Port :"), this);
    Label1->setGeometry(9, 19, 25, 13);
    // The caption sizes itself to its text, as far as the list to its right allows.
    Label1->resize(qBound(25, Label1->sizeHint().width(), 41 - 9 - 2), 13);

    ComboBox2 = new QComboBox(this);
    ComboBox2->setGeometry(0, 56, 41, 21);
    ComboBox2->setVisible(false);
    ComboBox2->setFocusPolicy(Qt::NoFocus);

    // Created in tab order: Button1, Button2, ComboBox1.
    Button1->setFocus();

    connect(Button1, &QPushButton::clicked, this, &PortSetupWindow::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &PortSetupWindow::Button2Click);
}

void PortSetupWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Only when the window becomes visible, not when the system merely
    // repaints or restores it.
    if (!event->spontaneous()) {
        FormShow();
    }
}

void PortSetupWindow::FormShow() {
    FillPortLists();
    ComboBox1->setCurrentIndex(PositionOfCurrentPort(PortNames()));
}

void PortSetupWindow::FillPortLists() {
    ComboBox1->clear();
    ComboBox2->clear();
    for (const PortEntry& port : ListPorts(sysfsRoot_)) {
        ComboBox1->addItem(QString::fromStdString(port.friendlyName));
        ComboBox2->addItem(QString::fromStdString(port.portName));
    }
}

std::vector<std::string> PortSetupWindow::PortNames() const {
    std::vector<std::string> names;
    for (int position = 0; position < ComboBox2->count(); ++position)
        names.push_back(ComboBox2->itemText(position).toStdString());
    return names;
}

std::int16_t PortSetupWindow::IndexOfPort(std::int16_t portIndex) const {
    return vorlan::IndexOfPort(PortNames(), portIndex);
}

std::int16_t PortSetupWindow::PortIndexOfEntry(std::int16_t position) const {
    return vorlan::PortIndexOfEntry(PortNames(), position);
}

void PortSetupWindow::Button1Click() {
    ConfirmPortChoice(PortNames(), static_cast<std::int16_t>(ComboBox1->currentIndex()));
    hide();
}

void PortSetupWindow::Button2Click() {
    ComboBox1->setCurrentIndex(PositionOfCurrentPort(PortNames()));
    hide();
}

}  // namespace vorlan
