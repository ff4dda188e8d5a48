#include "app/qt/version_list_window.h"

#include <QFont>
#include <QFontMetrics>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QString>
#include <string>

#include "app/qt/window_look.h"
#include "app/window_titles.h"
#include "catalogue/version_list.h"

namespace vorlan {

namespace {

// The form is 412 x 272 pixels with its sizeable frame (4 pixels each side,
// 19 for the caption), which leaves this client area.
constexpr int kClientWidth = 412 - 2 * 4;
constexpr int kClientHeight = 272 - 2 * 4 - 19;
constexpr int kItemHeight = 13;

// Fixed pitch, so the columns of the lines stand under each other.
QFont ListFont() {
    QFont font = PixelFont(QStringLiteral("Courier"), 11);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    return font;
}

}  // namespace

VersionListWindow::VersionListWindow(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromLatin1(kVersionListDesignTitle));
    setFont(PixelFont(kDefaultFace, 11));
    setModal(false);
    setFixedSize(kClientWidth, kClientHeight);

    // Created in tab order: the button first, then the list.
    Button1 = new QPushButton(QStringLiteral("&Ok"), this);
    Button1->setGeometry(303, 204, 75, 26);

    ListBox1 = new QListWidget(this);
    ListBox1->setGeometry(8, 10, 373, 184);
    ListBox1->setFont(ListFont());
    ListBox1->setUniformItemSizes(true);

    Button1->setFocus();
    connect(Button1, &QPushButton::clicked, this, &VersionListWindow::Button1Click);
}

void VersionListWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        FormShow();
    }
}

void VersionListWindow::FormShow() {
    ListBox1->clear();
    FillVersionList();
}

void VersionListWindow::FillVersionList() {
    const QFontMetrics metrics(ListBox1->font());
    for (const std::string& line : vorlan::FillVersionList()) {
        const QString text = QString::fromStdString(line);
        auto* item = new QListWidgetItem(text, ListBox1);
        item->setSizeHint(QSize(metrics.horizontalAdvance(text) + 4, kItemHeight));
    }
}

void VersionListWindow::Button1Click() {
    hide();
}

}  // namespace vorlan
