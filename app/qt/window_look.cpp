#include "app/qt/window_look.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QPalette>
#include <QStyleHints>
#include <QWidget>

#include "app/build_version.h"

namespace vorlan {

QColor ToQColor(StatusColour colour) {
    if ((colour >> 24) == 0x80) {
        const QPalette palette = QApplication::palette();
        switch (colour & 0xFF) {
            case 0x05:
                return palette.color(QPalette::Base);
            case 0x08:
                return palette.color(QPalette::Text);
            default:
                return palette.color(QPalette::Button);
        }
    }
    return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                  static_cast<int>((colour >> 16) & 0xFF));
}

void InstallFontSubstitutions() {
    static const bool installed = [] {
        QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                                   {QStringLiteral("DejaVu Sans"), QStringLiteral("Sans Serif")});
        QFont::insertSubstitutions(QStringLiteral("Times"), {QStringLiteral("Nimbus Roman"),
                                                             QStringLiteral("DejaVu Serif")});
        QFont::insertSubstitutions(QStringLiteral("Courier"), {QStringLiteral("Nimbus Mono PS"),
                                                               QStringLiteral("DejaVu Sans Mono")});
        return true;
    }();
    (void)installed;
}

QFont PixelFont(const QString& family, int pixels, bool bold) {
    InstallFontSubstitutions();
    QFont font(family);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

void SetFittedText(QLabel& label, const QString& text, int designPixels, int smallestPixels) {
    // The frame and the indent take their share of a label's width.
    const int indent = label.indent() > 0 ? label.indent() : 0;
    const int room = label.contentsRect().width() - 2 * label.margin() - indent - 4;
    QFont font = label.font();
    int pixels = designPixels;
    for (;; --pixels) {
        font.setPixelSize(pixels);
        if (pixels <= smallestPixels || QFontMetrics(font).horizontalAdvance(text) <= room)
            break;
    }
    label.setFont(font);
    label.setText(text);
}

void InstallApplicationTitleSink() {
    SetApplicationTitleSink([](const std::string& title) {
        QCoreApplication::setApplicationName(QString::fromStdString(title));
    });
}

int QtDoubleClickMs() {
    return QGuiApplication::styleHints()->mouseDoubleClickInterval();
}

void SetBackground(QWidget& widget, const QColor& colour) {
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, colour);
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
}

}  // namespace vorlan
