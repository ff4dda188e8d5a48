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

constexpr const VersionListWindowLayout& kLayout = kVersionListLayout;

// Fixed pitch, so the columns of the lines stand under each other.
QFont ListFont() {
    QFont font = PixelFont(QStringLiteral("Courier"), kFacePixels);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    return font;
}

}  // namespace

VersionListWindow::VersionListWindow(QWidget* parent) : QtDesktopWindow(parent) {
    setWindowTitle(QString::fromLatin1(kVersionListDesignTitle));
    setFont(PixelFont(kDefaultFace, kFacePixels));
    setModal(false);
    setFixedSize(kLayout.client.width, kLayout.client.height);

    // Created in tab order: the button first, then the list.
    Button1 = new QPushButton(QStringLiteral("&Ok"), this);
    Button1->setGeometry(ToQRect(kLayout.button1));

    ListBox1 = new QListWidget(this);
    ListBox1->setGeometry(ToQRect(kLayout.listBox1));
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
        item->setSizeHint(QSize(metrics.horizontalAdvance(text) + 4, kLayout.itemHeight));
    }
}

void VersionListWindow::Button1Click() {
    hide();
}

}  // namespace vorlan
