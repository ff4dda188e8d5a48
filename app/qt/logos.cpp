#include "app/qt/logos.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPolygonF>
#include <algorithm>
#include <cstdint>

#include "app/logo.h"

namespace vorlan {

namespace {

QColor FromRgb(std::uint32_t rgb) {
    return QColor(static_cast<int>(rgb >> 16), static_cast<int>((rgb >> 8) & 0xFF),
                  static_cast<int>(rgb & 0xFF));
}

QRectF ToQRect(const LogoRect& rect) {
    return QRectF(rect.left, rect.top, rect.width, rect.height);
}

void PaintChip(QPainter& painter, const LogoRect& square) {
    const ChipShape chip = ChipIn(square);
    painter.setPen(Qt::NoPen);
    painter.setBrush(FromRgb(kChipPinsRgb));
    for (const LogoRect& pin : chip.pins) painter.drawRect(ToQRect(pin));
    painter.setBrush(FromRgb(kChipBodyRgb));
    painter.drawRoundedRect(ToQRect(chip.body), kChipCornerRadius, kChipCornerRadius);
    QPolygonF arrow;
    for (const LogoPoint& point : chip.arrow) arrow << QPointF(point.x, point.y);
    painter.setBrush(FromRgb(kChipAccentRgb));
    painter.drawPolygon(arrow);
}

QPixmap TransparentPixmap(QSize size) {
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

}  // namespace

QPixmap DrawChipLogo(QSize size) {
    QPixmap pixmap = TransparentPixmap(size);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    PaintChip(painter, ChipLogoSquare(size.width(), size.height()));
    return pixmap;
}

QPixmap DrawWordmarkLogo(QSize size) {
    QPixmap pixmap = TransparentPixmap(size);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    PaintChip(painter, WordmarkChipSquare(size.width(), size.height()));

    const QString name = QString::fromLatin1(kWordmarkName);
    const QRectF nameBox = ToQRect(WordmarkNameBox(size.width(), size.height()));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    // The largest size at which the name fits beside the chip.
    for (int pixels = size.height() / 2; pixels > 6; --pixels) {
        font.setPixelSize(pixels);
        if (QFontMetricsF(font).horizontalAdvance(name) <= nameBox.width() - 2.0)
            break;
    }
    painter.setFont(font);
    painter.setPen(FromRgb(kChipBodyRgb));
    painter.drawText(nameBox, Qt::AlignLeft | Qt::AlignBottom, name);

    QFont small = font;
    small.setBold(false);
    small.setPixelSize(std::max(8, size.height() / 5));
    painter.setFont(small);
    painter.setPen(FromRgb(kChipAccentRgb));
    painter.drawText(ToQRect(WordmarkTaglineBox(size.width(), size.height())),
                     Qt::AlignLeft | Qt::AlignTop, QString::fromLatin1(kWordmarkTagline));
    return pixmap;
}

}  // namespace vorlan
