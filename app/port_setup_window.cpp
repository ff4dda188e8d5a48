#include "app/port_setup_window.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QString>
#include <utility>

#include "app/window_look.h"
#include "engine/decimal_text.h"
#include "ports/port_enumeration.h"
#include "ports/port_selection.h"

namespace vorlan {

namespace {

bool IsPortNameDelimiter(char c) {
    return c == 'C' || c == 'O' || c == 'M';
}

}  // namespace

PortSetupWindow::PortSetupWindow(QWidget* parent, std::string sysfsRoot)
    : QDialog(parent), sysfsRoot_(std::move(sysfsRoot)) {
    setWindowTitle(QStringLiteral("Setup"));
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
    for (int n = 1; n <= 12; ++n) {
        ComboBox1->addItem(QStringLiteral("COM%1").arg(n));
    }
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
    ComboBox1->setCurrentIndex(IndexOfPort(CurrentPortIndex()));
}

void PortSetupWindow::FillPortLists() {
    ComboBox1->clear();
    ComboBox2->clear();
    PortList* list = OpenPortList(sysfsRoot_);
    char name[kPortTextBufferSize];
    char friendlyName[kPortTextBufferSize];
    while (NextPort(list, name, friendlyName) != 0) {
        ComboBox1->addItem(QString::fromUtf8(friendlyName));
        ComboBox2->addItem(QString::fromUtf8(name));
    }
    ClosePortList(list);
}

std::int16_t PortSetupWindow::IndexOfPort(std::int16_t portIndex) const {
    const QString wanted = QStringLiteral("COM%1").arg(portIndex + 1);
    for (int position = 0; position < ComboBox2->count(); ++position) {
        if (ComboBox2->itemText(position).compare(wanted, Qt::CaseInsensitive) == 0) {
            return static_cast<std::int16_t>(position);
        }
    }
    return 0;
}

std::int16_t PortSetupWindow::PortIndexOfEntry(std::int16_t position) const {
    std::string text;
    if (position >= 0 && position < ComboBox2->count()) {
        text = ComboBox2->itemText(position).toStdString();
    }
    if (text.empty()) {
        return 0;
    }
    // The number sits between the letters C, O and M (upper case only), so
    // "COM12" gives "12" while "com3" keeps its letters and reads as 0.
    std::size_t begin = 0;
    while (begin < text.size() && IsPortNameDelimiter(text[begin])) {
        ++begin;
    }
    std::size_t end = begin;
    while (end < text.size() && !IsPortNameDelimiter(text[end])) {
        ++end;
    }
    if (begin == end) {
        return 0;
    }
    const std::int64_t number =
        ReadLeadingDecimal(std::string_view(text).substr(begin, end - begin)).Saturated();
    return static_cast<std::int16_t>(
        qBound(std::int64_t{INT16_MIN}, number - 1, std::int64_t{INT16_MAX}));
}

void PortSetupWindow::Button1Click() {
    const auto position = static_cast<std::int16_t>(ComboBox1->currentIndex());
    const std::int16_t chosen = PortIndexOfEntry(position);
    if (chosen != CurrentPortIndex()) {
        CurrentPortIndex() = chosen;
        ReopenSelectedPort();
    }
    hide();
}

void PortSetupWindow::Button2Click() {
    ComboBox1->setCurrentIndex(IndexOfPort(CurrentPortIndex()));
    hide();
}

}  // namespace vorlan
